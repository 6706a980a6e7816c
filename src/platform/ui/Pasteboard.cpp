#include "platform/ui/Pasteboard.h"

#include "platform/gfx/Image.h"

namespace ui {

namespace {
std::shared_ptr<ClipboardBackend>& backendSlot() {
    static std::shared_ptr<ClipboardBackend> backend;
    return backend;
}
}  // namespace

Pasteboard& Pasteboard::generalPasteboard() {
    static Pasteboard pasteboard;
    return pasteboard;
}

std::optional<std::string> Pasteboard::string() const {
    if (auto b = backendSlot()) {
        if (auto text = b->string()) return text;
    }
    return string_;
}

void Pasteboard::setString(const std::string& text) {
    string_ = text;
    image_.reset();
    imageOnClipboard_ = false;
    ++changeCount_;
    if (auto b = backendSlot()) b->setString(text);
}

void Pasteboard::setImage(std::shared_ptr<gfx::Image> image) {
    image_ = std::move(image);
    string_.reset();
    imageOnClipboard_ = false;
    ++changeCount_;
    if (image_) {
        if (auto b = backendSlot()) imageOnClipboard_ = b->setImage(*image_);
    }
}

void Pasteboard::setBackend(std::shared_ptr<ClipboardBackend> backend) { backendSlot() = std::move(backend); }
std::shared_ptr<ClipboardBackend> Pasteboard::backend() { return backendSlot(); }

void Pasteboard::clearForTesting() {
    string_.reset();
    image_.reset();
    imageOnClipboard_ = false;
    ++changeCount_;
}

}  // namespace ui
