#include "training/HomeLook.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <vector>

#include "platform/base/Bundle.h"
#include "platform/base/Format.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Text.h"
#include "platform/ui/Application.h"
#include "platform/ui/Drawing.h"

namespace homelook {

gfx::Color barTint() { return lookpalette::gold(); }
gfx::Color background() { return lookpalette::background(); }
gfx::Color card() { return lookpalette::card(); }
gfx::Color ink() { return lookpalette::ink(); }
gfx::Color dimInk() { return lookpalette::dimInk(); }
gfx::Color gold() { return barTint(); }

std::shared_ptr<ui::Label> titleLabel(const std::string& text, ui::Float width) {
    auto l = std::make_shared<ui::Label>(ui::Rect(0, 0, width, 44));
    l->setBackgroundColor(gfx::Color::clear());
    l->setText(text);
    l->setTextColor(gfx::Color::black());
    l->setShadowColor(lookpalette::barTitleShadow());
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
        if (auto path = bundle.pathForResource(stem + "@2x", type))
            image = gfx::Image::loadDecodingOnFirstUse(*path, 2);
    }
    if (!image) {
        if (auto path = bundle.pathForResource(stem, type)) image = gfx::Image::loadDecodingOnFirstUse(*path, 1);
    }
    // A missing file is not cached, so that an image made later still shows.
    if (image) cache[fileName] = image;
    return image;
}

std::vector<std::shared_ptr<gfx::Image>> goodFormFrames() {
    std::vector<std::shared_ptr<gfx::Image>> frames;
    for (int i = 1; i <= 8; ++i)
        if (auto image = bundleImage(base::format("gf%d.png", i))) frames.push_back(image);
    if (frames.size() == 8) return frames;
    // Drawn once and kept.
    static std::vector<std::shared_ptr<gfx::Image>> drawn;
    if (drawn.empty())
        for (int i = 0; i < 8; ++i) drawn.push_back(drawnPushUp(gfx::Size(280, 160), i / 8.0));
    return drawn;
}

namespace {

struct P {
    double x, y;
};

void line(gfx::Context& c, P a, P b) {
    c.beginPath();
    c.moveTo(static_cast<ui::Float>(a.x), static_cast<ui::Float>(a.y));
    c.lineTo(static_cast<ui::Float>(b.x), static_cast<ui::Float>(b.y));
    c.strokePath();
}

void disc(gfx::Context& c, P centre, double r) {
    c.fillEllipseInRect(ui::Rect(static_cast<ui::Float>(centre.x - r), static_cast<ui::Float>(centre.y - r),
                                 static_cast<ui::Float>(2 * r), static_cast<ui::Float>(2 * r)));
}

// The figure of a push-up in a box of the size, the floor along its bottom:
// the body one straight line from heels to shoulders, the arms under the
// shoulders bending backwards as the chest goes down.
void pushUpFigure(gfx::Context& c, gfx::Size size, double phase, const gfx::Color& body, double scale) {
    const double depth = (1 - std::cos(2 * M_PI * phase)) / 2;  // 0 top, 1 bottom
    const double floor = size.height - 14 * scale;
    const P hand{size.width * 0.72, floor};
    const double armLength = 62 * scale;
    const double shoulderHeight = armLength - 40 * scale * depth;
    const P shoulder{hand.x - 4 * scale, floor - shoulderHeight};
    const P heel{size.width * 0.12, floor - 4 * scale};
    // The elbow: upper arm and forearm of half the arm each, bent towards
    // the feet.
    const double half = armLength / 2;
    const double dx = hand.x - shoulder.x, dy = hand.y - shoulder.y;
    const double d = std::sqrt(dx * dx + dy * dy);
    const double a = d / 2;
    const double h = std::sqrt(std::max(0.0, half * half - a * a));
    const P mid{shoulder.x + dx / 2, shoulder.y + dy / 2};
    P elbow{mid.x + h * dy / d, mid.y - h * dx / d};
    if (elbow.x > mid.x) elbow = P{mid.x - h * dy / d, mid.y + h * dx / d};
    // The head, beyond the shoulders along the body.
    const double bx = shoulder.x - heel.x, by = shoulder.y - heel.y;
    const double bl = std::sqrt(bx * bx + by * by);
    const P head{shoulder.x + bx / bl * 16 * scale, shoulder.y + by / bl * 16 * scale - 3 * scale};

    c.setStrokeColor(body);
    c.setFillColor(body);
    c.setLineCap(gfx::LineCap::Round);
    c.setLineJoin(gfx::LineJoin::Round);
    c.setLineWidth(static_cast<ui::Float>(9 * scale));
    line(c, heel, shoulder);
    c.setLineWidth(static_cast<ui::Float>(6 * scale));
    line(c, shoulder, elbow);
    line(c, elbow, hand);
    disc(c, head, 9 * scale);
    // Hands and toes on the floor.
    c.setLineWidth(static_cast<ui::Float>(3 * scale));
    line(c, hand, P{hand.x + 7 * scale, hand.y});
    line(c, heel, P{heel.x - 2 * scale, floor});
}

}  // namespace

std::shared_ptr<gfx::Image> drawnPushUp(gfx::Size size, double phase) {
    gfx::ImageContext c(size, ui::Screen::mainScreen().scale());
    const ui::Rect all(0, 0, size.width, size.height);
    ui::draw::fillVerticalGradient(c, all, lookpalette::frameTop(), lookpalette::creamShade(), 10);
    // The floor.
    c.setFillColor(ui::draw::darker(barTint(), 0.2f));
    c.fillRect(ui::Rect(10, size.height - 14, size.width - 20, 3));
    pushUpFigure(c, size, phase, lookpalette::sepia(), 1);
    // A gold guide line along the body at the top of the movement.
    const double depth = (1 - std::cos(2 * M_PI * phase)) / 2;
    ui::draw::textCentered(c,
                           depth > 0.8   ? "Chest down, body straight"
                           : depth < 0.2 ? "Arms straight"
                                         : "",
                           ui::Rect(0, 6, size.width, 20), gfx::Font::boldSystemFont(13),
                           ui::draw::darker(barTint(), 0.35f));
    return c.image();
}

std::shared_ptr<gfx::Image> drawnMenuFace(gfx::Size size, MenuIcon icon) {
    gfx::ImageContext c(size, ui::Screen::mainScreen().scale());
    const ui::Rect rect(1.5f, 1.5f, size.width - 3, size.height - 3);
    ui::draw::Bezel bezel;
    bezel.face = ui::draw::Bezel::Face::Gradient;
    bezel.top = ui::draw::lighter(barTint(), 0.25f);
    bezel.bottom = ui::draw::darker(barTint(), 0.1f);
    bezel.radius = 16;
    bezel.edge = ui::draw::darker(barTint(), 0.45f);
    bezel.edgeWidth = 1.5f;
    ui::draw::bezel(c, rect, bezel);
    const gfx::Color ink = lookpalette::menuInk();
    const double w = size.width, h = size.height;
    c.setStrokeColor(ink);
    c.setFillColor(ink);
    c.setLineCap(gfx::LineCap::Round);
    c.setLineJoin(gfx::LineJoin::Round);
    switch (icon) {
    case MenuIcon::Today: {
        // A calendar page with a tick.
        const ui::Rect page(static_cast<ui::Float>(w * 0.24), static_cast<ui::Float>(h * 0.22),
                            static_cast<ui::Float>(w * 0.52), static_cast<ui::Float>(h * 0.56));
        ui::draw::fillRoundedRect(c, page, 5, lookpalette::cream());
        ui::draw::strokeRoundedRect(c, page, 5, ink, 2.5f);
        c.setFillColor(ink);
        c.setStrokeColor(ink);
        c.fillRect(ui::Rect(page.origin.x, page.origin.y, page.size.width, page.size.height * 0.22f));
        c.setLineWidth(static_cast<ui::Float>(w * 0.07));
        line(c, P{w * 0.36, h * 0.56}, P{w * 0.46, h * 0.66});
        line(c, P{w * 0.46, h * 0.66}, P{w * 0.65, h * 0.44});
        break;
    }
    case MenuIcon::GoodForm: pushUpFigure(c, gfx::Size(size.width, size.height * 0.9f), 0, ink, w / 150); break;
    case MenuIcon::Tips: {
        // A light bulb.
        c.fillEllipseInRect(ui::Rect(static_cast<ui::Float>(w * 0.3), static_cast<ui::Float>(h * 0.18),
                                     static_cast<ui::Float>(w * 0.4), static_cast<ui::Float>(w * 0.4)));
        c.fillRect(ui::Rect(static_cast<ui::Float>(w * 0.41), static_cast<ui::Float>(h * 0.52),
                            static_cast<ui::Float>(w * 0.18), static_cast<ui::Float>(h * 0.16)));
        c.setFillColor(lookpalette::bulbLight());
        c.fillEllipseInRect(ui::Rect(static_cast<ui::Float>(w * 0.37), static_cast<ui::Float>(h * 0.25),
                                     static_cast<ui::Float>(w * 0.12), static_cast<ui::Float>(w * 0.12)));
        c.setLineWidth(static_cast<ui::Float>(w * 0.04));
        line(c, P{w * 0.41, h * 0.74}, P{w * 0.59, h * 0.74});
        line(c, P{w * 0.44, h * 0.81}, P{w * 0.56, h * 0.81});
        break;
    }
    case MenuIcon::Blank: break;
    default: {
        // The other entries show their initial.
        static const char* initials[] = {"T", "P", "S", "G", "T", "?", "P"};
        ui::draw::textCentered(c, initials[static_cast<int>(icon)], rect,
                               gfx::Font::boldSystemFont(static_cast<ui::Float>(h * 0.45)), ink);
        break;
    }
    }
    return c.image();
}

std::shared_ptr<ui::Label> label(ui::Rect frame, const std::string& text, gfx::Font font, gfx::Color color,
                                 ui::TextAlignment alignment) {
    auto l = std::make_shared<ui::Label>(frame);
    l->setText(text);
    l->setFont(std::move(font));
    l->setTextColor(std::move(color));
    l->setBackgroundColor(gfx::Color::clear());
    l->setTextAlignment(alignment);
    return l;
}

void setTextFittingLines(ui::Label& label, const std::string& text, ui::Float largest, ui::Float smallest) {
    std::vector<std::string> lines(1);
    for (char ch : text) {
        if (ch == '\r' || ch == '\n') lines.emplace_back();
        else lines.back() += ch;
    }
    const ui::Float width = label.bounds().size.width;
    ui::Float size = largest;
    for (; size > smallest; size -= 0.5f) {
        const gfx::Font font = label.font().withSize(size);
        const bool fits = std::all_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return gfx::measureText(line, font).width <= width;
        });
        if (fits) break;
    }
    label.setFont(label.font().withSize(std::max(size, smallest)));
    label.setText(text);
}

std::shared_ptr<gfx::Image> buttonFace(gfx::Size size, const gfx::Color& fill, FaceShades shades) {
    // Drawn when first shown: the highlighted face only when the button is
    // pressed.
    return gfx::ImageContext::drawnOnFirstUse(size, 2, [size, fill, shades](gfx::Context& context) {
        ui::draw::Bezel bezel;
        bezel.face = ui::draw::Bezel::Face::Gradient;
        bezel.top = ui::draw::lighter(fill, shades.top);
        bezel.bottom = ui::draw::darker(fill, shades.bottom);
        bezel.radius = 9;
        bezel.edge = ui::draw::darker(fill, shades.edge);
        ui::draw::bezel(context, ui::Rect(1, 1, size.width - 2, size.height - 2), bezel);
    });
}

std::shared_ptr<ui::Button> button(ui::Rect frame, const std::string& title, const gfx::Color& fill,
                                   const gfx::Color& titleColor) {
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

CardView::CardView(ui::Rect frame, gfx::Color fill, gfx::Color edge)
    : ui::View(frame), fill_(std::move(fill)), edge_(std::move(edge)) {
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
