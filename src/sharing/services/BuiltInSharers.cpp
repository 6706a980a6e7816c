// The sharers of this build, registered by class name. The service sharers
// come in three groups, each registered by a function of its own file.
#include "sharing/services/BuiltInSharers.h"

#include "sharing/core/SHRSharer.h"
#include "sharing/services/copy/SHRCopy.h"
#include "sharing/services/mail/SHRMail.h"
#include "sharing/services/photoalbum/SHRPhotoAlbum.h"
#include "sharing/services/safari/SHRSafari.h"
#include "sharing/services/textmessage/SHRTextMessage.h"

void registerDeviceSharers() {
    SHRSharer::registerSharer<SHRCopy>("SHRCopy");
    SHRSharer::registerSharer<SHRMail>("SHRMail");
    SHRSharer::registerSharer<SHRSafari>("SHRSafari");
    SHRSharer::registerSharer<SHRPhotoAlbum>("SHRPhotoAlbum");
    SHRSharer::registerSharer<SHRTextMessage>("SHRTextMessage");
}

void registerBuiltInSharers() {
    registerDeviceSharers();
    registerOAuthSharers();
    registerLoginFormSharers();
    registerFacebookSharers();
}
