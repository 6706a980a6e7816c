#include "sharing/services/photoalbum/SHRPhotoAlbum.h"

#include "platform/ui/PhotoAlbum.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRFunctions.h"

std::string SHRPhotoAlbum::sharerTitle() const { return localizedFormat("Save to Photo Album"); }

bool SHRPhotoAlbum::send() {
    auto keep = self();
    if (!item()->image()) return false;
    const ui::PhotoSaveResult result = ui::PhotoAlbum::saveImage(*item()->image());
    if (!result.saved) {
        // Failing loudly: the image is not in the album.
        sendDidFailWithError(result.error ? result.error
                                          : std::optional<net::Error>(SHR::error(
                                                localizedFormat("The image could not be saved to the photo album."))));
        return true;
    }
    SHRActivityIndicator::currentIndicator()->displayCompleted(localizedFormat("Copied!"));
    setQuiet(true);
    sendDidFinish();
    return true;
}
