// The sharers of this build, registered by class name. The service sharers
// come in three groups, each registered by a function of its own file.
#include "sharing/core/SHRSharer.h"
#include "sharing/core/SHRSharerGroups.h"
#include "sharing/services/copy/SHRCopy.h"
#include "sharing/services/mail/SHRMail.h"
#include "sharing/services/photoalbum/SHRPhotoAlbum.h"
#include "sharing/services/safari/SHRSafari.h"
#include "sharing/services/textmessage/SHRTextMessage.h"

void SHRSharer::registerBuiltInSharers() {
    registerSharer<SHRCopy>("SHRCopy");
    registerSharer<SHRMail>("SHRMail");
    registerSharer<SHRSafari>("SHRSafari");
    registerSharer<SHRPhotoAlbum>("SHRPhotoAlbum");
    registerSharer<SHRTextMessage>("SHRTextMessage");
    registerOAuthSharers();
    registerLoginFormSharers();
    registerFacebookSharers();
}
