#include "training/WorkoutLook.h"

#include "training/HomeLook.h"

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

namespace {

// The screen's own drawings of its images, used when the bundle has no file
// of the name: the plate, the rest dial, its needle and the set marker.
std::shared_ptr<gfx::Image> drawnArt(const std::string& fileName) {
    if (fileName == "todayplacard.png") {
        const gfx::Size size(240, 190);
        gfx::ImageContext c(size, 2);
        const ui::Rect outer(4, 4, size.width - 8, size.height - 10);
        c.save();
        c.setShadow(gfx::Size(0, 3), 6, gfx::Color::rgb(0, 0, 0, 0.6f));
        ui::draw::fillRoundedRect(c, outer, 18, gfx::Color::rgb(0.55f, 0.36f, 0.16f));
        c.restore();
        ui::draw::fillVerticalGradient(c, ui::Rect(12, 12, outer.size.width - 16, outer.size.height - 16),
                                       gfx::Color::rgb(1.0f, 0.95f, 0.82f), gfx::Color::rgb(0.93f, 0.82f, 0.6f), 12);
        ui::draw::strokeRoundedRect(c, ui::Rect(12, 12, outer.size.width - 16, outer.size.height - 16), 12,
                                    gfx::Color::rgb(0.75f, 0.55f, 0.25f), 1.5f);
        // Four screw heads.
        for (auto p : {gfx::Point(20, 20), gfx::Point(size.width - 20, 20), gfx::Point(20, size.height - 26),
                       gfx::Point(size.width - 20, size.height - 26)}) {
            c.setFillColor(gfx::Color::rgb(0.62f, 0.5f, 0.32f));
            c.fillEllipseInRect(ui::Rect(p.x - 4, p.y - 4, 8, 8));
        }
        return c.image();
    }
    if (fileName == "timerdial_noticks.png") {
        const gfx::Size size(200, 200);
        gfx::ImageContext c(size, 2);
        c.save();
        c.setShadow(gfx::Size(0, 3), 6, gfx::Color::rgb(0, 0, 0, 0.6f));
        c.setFillColor(gfx::Color::rgb(0.55f, 0.36f, 0.16f));
        c.fillEllipseInRect(ui::Rect(4, 4, 192, 192));
        c.restore();
        c.setFillColor(gfx::Color::rgb(0.99f, 0.94f, 0.8f));
        c.fillEllipseInRect(ui::Rect(13, 13, 174, 174));
        c.setStrokeColor(gfx::Color::rgb(0.96f, 0.62f, 0.16f));
        c.setLineWidth(3);
        c.strokeEllipseInRect(ui::Rect(20, 20, 160, 160));
        return c.image();
    }
    if (fileName == "needle.png") {
        // As big as the dial, so that it turns about its own centre.
        const gfx::Size size(200, 200);
        gfx::ImageContext c(size, 2);
        c.beginPath();
        c.moveTo(100 - 4, 104);
        c.lineTo(100, 28);
        c.lineTo(100 + 4, 104);
        c.closePath();
        c.setFillColor(gfx::Color::rgb(0.78f, 0.16f, 0.1f));
        c.fillPath();
        c.setFillColor(gfx::Color::rgb(0.3f, 0.2f, 0.14f));
        c.fillEllipseInRect(ui::Rect(92, 92, 16, 16));
        return c.image();
    }
    if (fileName == "setbutton.png") {
        const gfx::Size size(55, 30);
        gfx::ImageContext c(size, 2);
        ui::draw::fillVerticalGradient(c, ui::Rect(1, 1, 53, 28), gfx::Color::rgb(1, 0.85f, 0.45f),
                                       gfx::Color::rgb(0.95f, 0.62f, 0.16f), 8);
        ui::draw::strokeRoundedRect(c, ui::Rect(1, 1, 53, 28), 8, gfx::Color::rgb(0.7f, 0.42f, 0.1f), 1);
        return c.image();
    }
    return nullptr;
}

}  // namespace

std::shared_ptr<gfx::Image> bundleImage(const std::string& fileName) {
    // The bundle's file (its double-resolution twin on a 2x screen), else the
    // screen's own drawing of it.
    if (auto image = homelook::bundleImage(fileName)) return image;
    static std::map<std::string, std::shared_ptr<gfx::Image>> drawn;
    auto found = drawn.find(fileName);
    if (found != drawn.end()) return found->second;
    auto image = drawnArt(fileName);
    if (image) drawn[fileName] = image;
    return image;
}

std::shared_ptr<gfx::Image> highlightImage(gfx::Size size) {
    gfx::ImageContext context(size, 2);
    // A soft glow round the control rather than a hard outline: a faint
    // warm wash and a blurred light edge.
    const ui::Rect rect(4, 4, size.width - 8, size.height - 8);
    ui::draw::fillRoundedRect(context, rect, 9, gfx::Color::rgb(1, 0.88f, 0.5f, 0.12f));
    gfx::SavedState saved(context);
    context.setShadow(gfx::Size(0, 0), 6, gfx::Color::rgb(1, 0.8f, 0.3f, 0.95f));
    ui::draw::strokeRoundedRect(context, rect, 9, gfx::Color::rgb(1, 0.86f, 0.5f, 0.55f), 1.5f);
    return context.image();
}

std::shared_ptr<ui::Label> label(ui::Rect frame, const std::string& text, gfx::Font font, gfx::Color color,
                                 ui::TextAlignment alignment) {
    return homelook::label(frame, text, std::move(font), color, alignment);
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
