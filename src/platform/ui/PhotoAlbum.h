#pragma once
// Saving an image to the photo album: a PNG in the desktop's pictures
// folder ($XDG_PICTURES_DIR as xdg-user-dir reports it, else ~/Pictures).
// The result (where it went, or why it failed) goes back to the caller.
#include <functional>
#include <optional>
#include <string>

#include "platform/net/Error.h"

namespace gfx {
class Image;
}

namespace ui {

struct PhotoSaveResult {
    bool saved = false;
    std::string path;                 // the new file when saved
    std::optional<net::Error> error;  // why not, otherwise
};

inline constexpr const char* PhotoAlbumErrorDomain = "TolvekPhotoAlbumErrorDomain";

class PhotoAlbum {
public:
    // The folder pictures are saved in.
    static std::string picturesDirectory();
    // Tests fix the folder (empty: ask the desktop again).
    static void setPicturesDirectoryForTesting(const std::string& folder);

    // Writes the image as a new PNG file ("Tolvek <date> <time>.png", never
    // replacing a file) and answers the result; the completion, if any, gets
    // the same result on the main run loop.
    static PhotoSaveResult saveImage(const gfx::Image& image,
                                     std::function<void(const PhotoSaveResult&)> completion = {});
};

}  // namespace ui
