#include "screens/CustomCellBackgroundView.h"

void addRoundedCellPath(gfx::Context& c, ui::Rect rect) {
    gfx::SavedState saved(c);
    // In units of the corner radius (10 points).
    c.translate(rect.minX(), rect.minY());
    c.scale(10, 10);
    const ui::Float fw = rect.width() / 10;
    const ui::Float fh = rect.height() / 10;
    c.moveTo(fw, fh / 2);
    c.addArcToPoint(fw, fh, fw / 2, fh, 1);
    c.addArcToPoint(0, fh, 0, fh / 2, 1);
    c.addArcToPoint(0, 0, fw / 2, 0, 1);
    c.addArcToPoint(fw, 0, fw, fh / 2, 1);
    c.closePath();
}

CustomCellBackgroundView::CustomCellBackgroundView() : CustomCellBackgroundView(ui::Rect(0, 0, 300, 44)) {}

CustomCellBackgroundView::CustomCellBackgroundView(ui::Rect frame) : ui::View(frame) {
    setOpaque(false);
    setBackgroundColor(gfx::Color::clear());
}

void CustomCellBackgroundView::drawRect(gfx::Context& c, ui::Rect rect) {
    const ui::Float w = rect.width(), h = rect.height();
    c.setFillColor(fillColor_);
    c.setStrokeColor(borderColor_);
    auto rounded = [&] {
        c.beginPath();
        addRoundedCellPath(c, rect);
        c.fillPath();
        c.setLineWidth(1);
        addRoundedCellPath(c, rect);
        c.strokePath();
    };
    switch (position_) {
    case Bottom:
        // Square at the top, rounded at the bottom.
        c.fillRect(ui::Rect(0, 0, w, 10));
        c.beginPath();
        c.moveTo(0, 10);
        c.lineTo(0, 0);
        c.moveTo(w, 0);
        c.lineTo(w, 10);
        c.strokePath();
        c.clipToRect(ui::Rect(0, 10, w, h));
        rounded();
        break;
    case Middle:
        c.fillRect(rect);
        c.beginPath();
        c.moveTo(0, 0);
        c.lineTo(0, h);
        c.lineTo(w, h);
        c.lineTo(w, 0);
        c.strokePath();
        break;
    case Top:
        // Rounded at the top, square at the bottom.
        c.fillRect(ui::Rect(0, h - 10, w, 10));
        c.beginPath();
        c.moveTo(0, h - 10);
        c.lineTo(0, h);
        c.lineTo(w, h);
        c.lineTo(w, h - 10);
        c.strokePath();
        c.clipToRect(ui::Rect(0, 0, w, h - 10));
        rounded();
        break;
    default: rounded(); break;
    }
}
