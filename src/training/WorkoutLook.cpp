#include "training/WorkoutLook.h"

#include "training/HomeLook.h"

#include <map>

#include "platform/base/Bundle.h"
#include "platform/gfx/Context.h"
#include "platform/ui/Application.h"
#include "platform/ui/Drawing.h"
#include "training/LookPalette.h"

namespace workoutlook {

gfx::Color background() { return lookpalette::background(); }
gfx::Color band() { return lookpalette::band(); }
gfx::Color ink() { return lookpalette::ink(); }
gfx::Color dimInk() { return lookpalette::dimInk(); }
gfx::Color accent() { return lookpalette::accent(); }
gfx::Color barTint() { return lookpalette::workoutBar(); }

namespace {

// The screen's own drawings of its images, used when the bundle has no file
// of the name: the plate, the rest dial, its needle and the set marker.
std::shared_ptr<gfx::Image> drawnArt(const std::string& fileName) {
    if (fileName == "todayplacard.png") {
        const gfx::Size size(240, 190);
        gfx::ImageContext c(size, 2);
        const ui::Rect outer(4, 4, size.width - 8, size.height - 10);
        {
            gfx::SavedState saved(c);
            c.setShadow(gfx::Size(0, 3), 6, lookpalette::dropShadow());
            ui::draw::fillRoundedRect(c, outer, 18, lookpalette::plateRim());
        }
        ui::draw::fillVerticalGradient(c, ui::Rect(12, 12, outer.size.width - 16, outer.size.height - 16),
                                       lookpalette::plateTop(), lookpalette::plateBottom(), 12);
        ui::draw::strokeRoundedRect(c, ui::Rect(12, 12, outer.size.width - 16, outer.size.height - 16), 12,
                                    lookpalette::plateEdge(), 1.5f);
        // Four screw heads.
        for (auto p : {gfx::Point(20, 20), gfx::Point(size.width - 20, 20), gfx::Point(20, size.height - 26),
                       gfx::Point(size.width - 20, size.height - 26)}) {
            c.setFillColor(lookpalette::screwHead());
            c.fillEllipseInRect(ui::Rect(p.x - 4, p.y - 4, 8, 8));
        }
        return c.image();
    }
    if (fileName == "timerdial_noticks.png") {
        const gfx::Size size(200, 200);
        gfx::ImageContext c(size, 2);
        {
            gfx::SavedState saved(c);
            c.setShadow(gfx::Size(0, 3), 6, lookpalette::dropShadow());
            c.setFillColor(lookpalette::plateRim());
            c.fillEllipseInRect(ui::Rect(4, 4, 192, 192));
        }
        c.setFillColor(lookpalette::dialFace());
        c.fillEllipseInRect(ui::Rect(13, 13, 174, 174));
        c.setStrokeColor(lookpalette::accent());
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
        c.setFillColor(lookpalette::needle());
        c.fillPath();
        c.setFillColor(lookpalette::needleHub());
        c.fillEllipseInRect(ui::Rect(92, 92, 16, 16));
        return c.image();
    }
    if (fileName == "setbutton.png") {
        const gfx::Size size(55, 30);
        gfx::ImageContext c(size, 2);
        ui::draw::Bezel bezel;
        bezel.face = ui::draw::Bezel::Face::Gradient;
        bezel.top = lookpalette::setMarkerTop();
        bezel.bottom = lookpalette::setMarkerBottom();
        bezel.radius = 8;
        bezel.edge = lookpalette::setMarkerEdge();
        ui::draw::bezel(c, ui::Rect(1, 1, 53, 28), bezel);
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
    ui::draw::fillRoundedRect(context, rect, 9, lookpalette::glowWash());
    gfx::SavedState saved(context);
    context.setShadow(gfx::Size(0, 0), 6, lookpalette::glow());
    ui::draw::strokeRoundedRect(context, rect, 9, lookpalette::glowEdge(), 1.5f);
    return context.image();
}

std::shared_ptr<ui::Label> label(ui::Rect frame, const std::string& text, gfx::Font font, gfx::Color color,
                                 ui::TextAlignment alignment) {
    return homelook::label(frame, text, std::move(font), std::move(color), alignment);
}

namespace {
// The workout's buttons: a little softer than the home screen's.
constexpr homelook::FaceShades kFaceShades{0.18f, 0.12f, 0.35f};
}  // namespace

std::shared_ptr<ui::Button> button(ui::Rect frame, const std::string& title, const gfx::Color& fill) {
    auto b = std::make_shared<ui::Button>(ui::ButtonType::Custom, frame);
    b->setTitle(title);
    b->setTitleColor(gfx::Color::white());
    b->setTitleColor(lookpalette::pressedTitle(), ui::ControlState::Highlighted);
    b->setFont(gfx::Font::boldSystemFont(18));
    b->setBackgroundImage(homelook::buttonFace(frame.size, fill, kFaceShades));
    b->setBackgroundImage(homelook::buttonFace(frame.size, ui::draw::darker(fill, 0.25f), kFaceShades),
                          ui::ControlState::Highlighted);
    return b;
}

}  // namespace workoutlook
