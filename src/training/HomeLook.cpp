#include "training/HomeLook.h"

#include <climits>
#include <map>

#include "platform/base/Bundle.h"
#include "platform/base/Format.h"
#include "platform/gfx/Context.h"
#include "platform/ui/Application.h"
#include "platform/ui/Drawing.h"

namespace homelook {

gfx::Color barTint() { return gfx::Color::rgb(0.949f, 0.769f, 0.173f); }
gfx::Color background() { return gfx::Color::rgb(0.17f, 0.13f, 0.11f); }
gfx::Color card() { return gfx::Color::rgb(0.25f, 0.19f, 0.15f); }
gfx::Color ink() { return gfx::Color::rgb(0.98f, 0.96f, 0.92f); }
gfx::Color dimInk() { return gfx::Color::rgb(0.80f, 0.74f, 0.66f); }
gfx::Color gold() { return barTint(); }

std::shared_ptr<ui::Label> titleLabel(const std::string& text, ui::Float width) {
    auto l = std::make_shared<ui::Label>(ui::Rect(0, 0, width, 44));
    l->setBackgroundColor(gfx::Color::clear());
    l->setText(text);
    l->setTextColor(gfx::Color::black());
    l->setShadowColor(gfx::Color::rgb(1, 1, 0));
    l->setFont(gfx::Font::boldSystemFont(20));
    l->setTextAlignment(ui::TextAlignment::Center);
    return l;
}

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
    // A missing file is not cached, so that an image made later still shows.
    if (image) cache[fileName] = image;
    return image;
}

std::vector<std::shared_ptr<gfx::Image>> goodFormFrames() {
    std::vector<std::shared_ptr<gfx::Image>> frames;
    for (int i = 1; i <= 8; ++i)
        if (auto image = bundleImage(base::format("gf%d.png", i))) frames.push_back(image);
    return frames;
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
    ui::draw::fillVerticalGradient(context, rect, ui::draw::lighter(fill, 0.2f), ui::draw::darker(fill, 0.1f), 9);
    ui::draw::strokeRoundedRect(context, rect, 9, ui::draw::darker(fill, 0.4f), 1);
    return context.image();
}
}  // namespace

std::shared_ptr<ui::Button> button(ui::Rect frame, const std::string& title, gfx::Color fill, gfx::Color titleColor) {
    auto b = std::make_shared<ui::Button>(ui::ButtonType::Custom, frame);
    b->setTitle(title);
    b->setTitleColor(titleColor);
    b->setTitleColor(gfx::Color::rgb(titleColor.red(), titleColor.green(), titleColor.blue(), 0.6f),
                     ui::ControlState::Highlighted);
    b->setFont(gfx::Font::boldSystemFont(17));
    b->setBackgroundImage(buttonFace(frame.size, fill));
    b->setBackgroundImage(buttonFace(frame.size, ui::draw::darker(fill, 0.25f)), ui::ControlState::Highlighted);
    return b;
}

CardView::CardView(ui::Rect frame, gfx::Color fill, gfx::Color edge) : ui::View(frame), fill_(fill), edge_(edge) {
    setBackgroundColor(gfx::Color::clear());
    setOpaque(false);
}

void CardView::drawRect(gfx::Context& context, ui::Rect) {
    const auto b = bounds();
    const ui::Rect rect(0.5f, 0.5f, b.size.width - 1, b.size.height - 1);
    ui::draw::fillVerticalGradient(context, rect, ui::draw::lighter(fill_, 0.06f), fill_, 10);
    ui::draw::strokeRoundedRect(context, rect, 10, edge_, 1);
}

int intValue(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) {
            value = static_cast<long long>(INT_MAX) + 1;
            break;
        }
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace homelook
