#include "training/WorkoutLook.h"

#include <map>

#include "platform/base/Bundle.h"
#include "platform/gfx/Context.h"
#include "platform/ui/Application.h"
#include "platform/ui/Drawing.h"

namespace workoutlook {

gfx::Color background() { return gfx::Color::rgb(0.17f, 0.13f, 0.11f); }
gfx::Color band() { return gfx::Color::rgb(0.11f, 0.08f, 0.07f); }
gfx::Color ink() { return gfx::Color::rgb(0.98f, 0.96f, 0.92f); }
gfx::Color dimInk() { return gfx::Color::rgb(0.80f, 0.74f, 0.66f); }
gfx::Color accent() { return gfx::Color::rgb(0.96f, 0.62f, 0.16f); }
gfx::Color barTint() { return gfx::Color::rgb(0.259f, 0.2f, 0.18f, 1); }

std::shared_ptr<gfx::Image> bundleImage(const std::string& fileName) {
    static std::map<std::string, std::shared_ptr<gfx::Image>> cache;
    auto found = cache.find(fileName);
    if (found != cache.end()) return found->second;
    const auto& bundle = base::Bundle::mainBundle();
    const auto dot = fileName.rfind('.');
    const std::string stem = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    const std::string type = dot == std::string::npos ? std::string("png") : fileName.substr(dot + 1);
    std::shared_ptr<gfx::Image> image;
    if (ui::Screen::mainScreen().scale() >= 2) {
        if (auto path = bundle.pathForResource(stem + "@2x", type)) image = gfx::Image::load(*path, 2);
    }
    if (!image) {
        if (auto path = bundle.pathForResource(stem, type)) image = gfx::Image::load(*path, 1);
    }
    // A missing file is not cached, so that an image made after start shows.
    if (image) cache[fileName] = image;
    return image;
}

std::shared_ptr<gfx::Image> highlightImage(gfx::Size size) {
    gfx::ImageContext context(size, 2);
    const ui::Rect rect(1.5f, 1.5f, size.width - 3, size.height - 3);
    ui::draw::fillRoundedRect(context, rect, 8, gfx::Color::rgb(1, 0.85f, 0.3f, 0.22f));
    ui::draw::strokeRoundedRect(context, rect, 8, gfx::Color::rgb(1, 0.8f, 0.25f, 0.95f), 2.5f);
    return context.image();
}

std::shared_ptr<ui::Label> label(ui::Rect frame, const std::string& text, gfx::Font font, gfx::Color color,
                                 ui::TextAlignment alignment) {
    auto l = std::make_shared<ui::Label>(frame);
    l->setText(text);
    l->setFont(std::move(font));
    l->setTextColor(color);
    l->setBackgroundColor(gfx::Color::clear());
    l->setTextAlignment(alignment);
    return l;
}

namespace {
std::shared_ptr<gfx::Image> buttonFace(gfx::Size size, gfx::Color fill) {
    gfx::ImageContext context(size, 2);
    const ui::Rect rect(1, 1, size.width - 2, size.height - 2);
    ui::draw::fillVerticalGradient(context, rect, ui::draw::lighter(fill, 0.18f), ui::draw::darker(fill, 0.12f), 9);
    ui::draw::strokeRoundedRect(context, rect, 9, ui::draw::darker(fill, 0.35f), 1);
    return context.image();
}
}  // namespace

std::shared_ptr<ui::Button> button(ui::Rect frame, const std::string& title, gfx::Color fill) {
    auto b = std::make_shared<ui::Button>(ui::ButtonType::Custom, frame);
    b->setTitle(title);
    b->setTitleColor(gfx::Color::white());
    b->setTitleColor(gfx::Color::rgb(1, 1, 1, 0.6f), ui::ControlState::Highlighted);
    b->setFont(gfx::Font::boldSystemFont(18));
    b->setBackgroundImage(buttonFace(frame.size, fill));
    b->setBackgroundImage(buttonFace(frame.size, ui::draw::darker(fill, 0.25f)), ui::ControlState::Highlighted);
    return b;
}

}  // namespace workoutlook
