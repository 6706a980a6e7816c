#pragma once
// The general pasteboard: a string and an image. The window host installs
// a ClipboardBackend so that strings reach the desktop's clipboard (and
// images too where the backend can); the pasteboard always keeps what was
// put on it, so the headless host and tests read it back from here.
#include <memory>
#include <optional>
#include <string>

namespace gfx {
class Image;
}

namespace ui {

class ClipboardBackend {
public:
    virtual ~ClipboardBackend() = default;
    virtual bool setString(const std::string& text) = 0;
    // The desktop clipboard's text (nullopt when it holds none).
    virtual std::optional<std::string> string() = 0;
    // Puts an image on the clipboard; false when the backend cannot.
    virtual bool setImage(const gfx::Image& image) {
        (void)image;
        return false;
    }
};

class Pasteboard {
public:
    static Pasteboard& generalPasteboard();

    // The text on the pasteboard: the desktop clipboard's when a backend is
    // installed and holds text, else what was last set here.
    std::optional<std::string> string() const;
    void setString(const std::string& text);
    std::shared_ptr<gfx::Image> image() const { return image_; }
    void setImage(std::shared_ptr<gfx::Image> image);
    // Whether the last image also reached the desktop clipboard.
    bool imageOnClipboard() const { return imageOnClipboard_; }
    // Increases with every change.
    long changeCount() const { return changeCount_; }

    static void setBackend(std::shared_ptr<ClipboardBackend> backend);
    static std::shared_ptr<ClipboardBackend> backend();

    // Empties the pasteboard (tests).
    void clearForTesting();

private:
    std::optional<std::string> string_;
    std::shared_ptr<gfx::Image> image_;
    bool imageOnClipboard_ = false;
    long changeCount_ = 0;
};

}  // namespace ui
