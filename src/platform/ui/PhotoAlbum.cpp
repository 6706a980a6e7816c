#include "platform/ui/PhotoAlbum.h"

#include <ctime>

#include "platform/base/Clock.h"
#include "platform/base/FileManager.h"
#include "platform/base/Format.h"
#include "platform/base/RunLoop.h"
#include "platform/base/Strings.h"
#include "platform/gfx/Image.h"
#include "platform/ui/DeviceProcess.h"

namespace ui {

namespace {

std::string& fixedFolder() {
    static std::string folder;
    return folder;
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

PhotoSaveResult failure(long code, const std::string& description) {
    PhotoSaveResult r;
    r.error = net::Error(PhotoAlbumErrorDomain, code, description);
    return r;
}

}  // namespace

std::string PhotoAlbum::picturesDirectory() {
    if (!fixedFolder().empty()) return fixedFolder();
    std::string home = withoutTrailingSlash(base::paths::home());
    if (auto answer = process::runAndRead({"xdg-user-dir", "PICTURES"})) {
        std::string folder = withoutTrailingSlash(std::string(base::trimRight(*answer, " \r\n")));
        // xdg-user-dir answers the home folder itself when no pictures folder
        // is configured; pictures do not belong loose in the home folder.
        if (!folder.empty() && folder[0] == '/' && folder != home) return folder;
    }
    return base::paths::join(home, "Pictures");
}

void PhotoAlbum::setPicturesDirectoryForTesting(const std::string& folder) { fixedFolder() = folder; }

PhotoSaveResult PhotoAlbum::saveImage(const gfx::Image& image, std::function<void(const PhotoSaveResult&)> completion) {
    PhotoSaveResult result;
    auto finish = [&](PhotoSaveResult r) {
        if (completion) {
            base::RunLoop::main().performOnMainThread([completion, r] { completion(r); });
        }
        return r;
    };

    std::string folder = picturesDirectory();
    auto& fm = base::FileManager::defaultManager();
    std::string error;
    bool isDir = false;
    if (!(fm.fileExists(folder, &isDir) && isDir) && !fm.createDirectory(folder, true, &error))
        return finish(failure(1, "The pictures folder " + folder + " cannot be made: " + error));

    auto png = image.encodePNG();
    if (png.empty()) return finish(failure(2, "The image cannot be encoded as PNG."));

    std::time_t t = static_cast<std::time_t>(base::Clock::current().now());
    std::tm local{};
    localtime_r(&t, &local);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H.%M.%S", &local);
    std::string path;
    for (int n = 1; n < 1000; ++n) {
        std::string name = n == 1 ? base::format("Tolvek %s.png", stamp) : base::format("Tolvek %s %d.png", stamp, n);
        std::string candidate = base::paths::join(folder, name);
        if (!fm.fileExists(candidate)) {
            path = candidate;
            break;
        }
    }
    if (path.empty()) return finish(failure(3, "No free file name is left in " + folder + "."));
    // Pictures an earlier run left half-written here go first.
    fm.removeStaleTemporariesIn(folder);
    if (!fm.writeAtomically(path, png, &error))
        return finish(failure(4, "The picture cannot be written to " + folder + ": " + error));
    result.saved = true;
    result.path = path;
    return finish(result);
}

}  // namespace ui
