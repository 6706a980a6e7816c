#include "platform/ui/Drawing.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/Palette.h"

namespace ui::draw {

gfx::Color rgb(int r, int g, int b, Float a) { return gfx::Color::rgb(r / 255.0f, g / 255.0f, b / 255.0f, a); }

gfx::Color mix(const gfx::Color& a, const gfx::Color& b, Float t) {
    auto x = a.rgba();
    auto y = b.rgba();
    return gfx::Color::rgb(x[0] + (y[0] - x[0]) * t, x[1] + (y[1] - x[1]) * t, x[2] + (y[2] - x[2]) * t,
                           x[3] + (y[3] - x[3]) * t);
}

gfx::Color lighter(const gfx::Color& c, Float amount) {
    return mix(c, gfx::Color::white().withAlpha(c.alpha()), amount);
}
gfx::Color darker(const gfx::Color& c, Float amount) {
    return mix(c, gfx::Color::black().withAlpha(c.alpha()), amount);
}

bool isLightFace(const gfx::Color& c) { return 0.299f * c.red() + 0.587f * c.green() + 0.114f * c.blue() > 0.6f; }

BarInk barInkOn(const gfx::Color& face) {
    if (isLightFace(face)) return {palette::lightBarInk(), gfx::Color::white().withAlpha(0.5f), Size(0, 1)};
    return {gfx::Color::white(), gfx::Color::black().withAlpha(0.45f), Size(0, -1)};
}

gfx::Color systemBlue() { return rgb(5, 114, 238); }
gfx::Color barBlue() { return rgb(109, 132, 162); }
gfx::Color groupedBackground() { return rgb(197, 204, 212); }
gfx::Color separator() { return rgb(224, 224, 224); }
gfx::Color labelText() { return gfx::Color::black(); }
gfx::Color detailBlue() { return rgb(56, 84, 135); }
gfx::Color secondaryText() { return rgb(128, 128, 128); }
gfx::Color destructiveRed() { return rgb(204, 34, 34); }

void addRoundedRect(gfx::Context& ctx, Rect r, Float radius) { addRoundedRect(ctx, r, radius, true, true, true, true); }

void addRoundedRect(gfx::Context& ctx, Rect r, Float radius, bool tl, bool tr, bool br, bool bl) {
    radius = std::max<Float>(0, std::min({radius, r.width() / 2, r.height() / 2}));
    Float x0 = r.minX(), y0 = r.minY(), x1 = r.maxX(), y1 = r.maxY();
    if (radius <= 0) {
        ctx.addRect(r);
        return;
    }
    ctx.moveTo(x0 + (tl ? radius : 0), y0);
    if (tr) ctx.addArcToPoint(x1, y0, x1, y0 + radius, radius);
    else ctx.lineTo(x1, y0);
    if (br) ctx.addArcToPoint(x1, y1, x1 - radius, y1, radius);
    else ctx.lineTo(x1, y1);
    if (bl) ctx.addArcToPoint(x0, y1, x0, y1 - radius, radius);
    else ctx.lineTo(x0, y1);
    if (tl) ctx.addArcToPoint(x0, y0, x0 + radius, y0, radius);
    else ctx.lineTo(x0, y0);
    ctx.closePath();
}

void fillRoundedRect(gfx::Context& ctx, Rect rect, Float radius, const gfx::Color& color) {
    ctx.beginPath();
    addRoundedRect(ctx, rect, radius);
    ctx.setFillColor(color);
    ctx.fillPath();
}

void strokeRoundedRect(gfx::Context& ctx, Rect rect, Float radius, const gfx::Color& color, Float width) {
    ctx.beginPath();
    addRoundedRect(ctx, rect.inset(width / 2, width / 2), radius);
    ctx.setStrokeColor(color);
    ctx.setLineWidth(width);
    ctx.strokePath();
}

void fillVerticalGradient(gfx::Context& ctx, Rect rect, const gfx::Color& top, const gfx::Color& bottom, Float radius) {
    gfx::SavedState saved(ctx);
    ctx.beginPath();
    addRoundedRect(ctx, rect, radius);
    ctx.clip();
    auto a = top.rgba();
    auto b = bottom.rgba();
    ctx.drawShading(gfx::Shading::axial(
        Point(rect.minX(), rect.minY()), Point(rect.minX(), rect.maxY()),
        [a, b](Float t) {
            return std::array<Float, 4>{a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t,
                                        a[3] + (b[3] - a[3]) * t};
        },
        true, true));
}

void fillGlossy(gfx::Context& ctx, Rect rect, const gfx::Color& base, Float radius) {
    gfx::SavedState saved(ctx);
    ctx.beginPath();
    addRoundedRect(ctx, rect, radius);
    ctx.clip();
    auto top = lighter(base, 0.45f).rgba();
    auto mid = lighter(base, 0.12f).rgba();
    auto low = base.rgba();
    auto bottom = darker(base, 0.08f).rgba();
    ctx.drawShading(gfx::Shading::axial(
        Point(rect.minX(), rect.minY()), Point(rect.minX(), rect.maxY()),
        [=](Float t) {
            auto lerp = [](const std::array<Float, 4>& x, const std::array<Float, 4>& y, Float u) {
                return std::array<Float, 4>{x[0] + (y[0] - x[0]) * u, x[1] + (y[1] - x[1]) * u,
                                            x[2] + (y[2] - x[2]) * u, x[3] + (y[3] - x[3]) * u};
            };
            if (t < 0.5f) return lerp(top, mid, t / 0.5f);
            return lerp(low, bottom, (t - 0.5f) / 0.5f);
        },
        true, true));
}

namespace {
void fillFace(gfx::Context& ctx, Rect rect, const Bezel& b, Float radius) {
    switch (b.face) {
    case Bezel::Face::Flat: fillRoundedRect(ctx, rect, radius, b.top); break;
    case Bezel::Face::Gradient: fillVerticalGradient(ctx, rect, b.top, b.bottom, radius); break;
    case Bezel::Face::Glossy: fillGlossy(ctx, rect, b.top, radius); break;
    }
}
}  // namespace

void bezel(gfx::Context& ctx, Rect rect, const Bezel& b) {
    if (b.shadow) {
        {
            gfx::SavedState saved(ctx);
            ctx.setShadow(b.shadow->offset, b.shadow->blur, b.shadow->color);
            if (b.face == Bezel::Face::Glossy) fillRoundedRect(ctx, rect, b.radius, b.top);
            else fillFace(ctx, rect, b, b.radius);
        }
        if (b.face == Bezel::Face::Glossy) fillFace(ctx, rect, b, b.radius);
    } else {
        fillFace(ctx, rect, b, b.radius);
    }
    if (b.edge) strokeRoundedRect(ctx, rect, b.radius, *b.edge, b.edgeWidth);
}

void bezel(gfx::Context& ctx, Rect rect, const Bezel& b, const std::function<void()>& addShape) {
    {
        gfx::SavedState shaped(ctx);
        addShape();
        {
            gfx::SavedState saved(ctx);
            ctx.clip();
            fillFace(ctx, rect, b, 0);
        }
    }
    if (!b.edge) return;
    {
        gfx::SavedState saved(ctx);
        addShape();
        ctx.setStrokeColor(*b.edge);
        ctx.setLineWidth(b.edgeWidth);
        ctx.strokePath();
    }
}

Size text(gfx::Context& ctx, const std::string& s, Rect rect, const gfx::Font& font, const gfx::Color& color,
          TextAlignment alignment, LineBreakMode mode) {
    if (s.empty()) return {};
    gfx::SavedState saved(ctx);
    ctx.setFillColor(color);
    Size drawn = gfx::drawText(ctx, s, rect, font, mode, alignment);
    return drawn;
}

Size textCentered(gfx::Context& ctx, const std::string& s, Rect rect, const gfx::Font& font, const gfx::Color& color,
                  TextAlignment alignment) {
    if (s.empty()) return {};
    Float h = font.lineHeight();
    Rect line(rect.minX(), rect.minY() + std::floor((rect.height() - h) / 2), rect.width(), h + 1);
    return text(ctx, s, line, font, color, alignment, LineBreakMode::TailTruncation);
}

Size textWithShadow(gfx::Context& ctx, const std::string& s, Rect rect, const gfx::Font& font, const gfx::Color& color,
                    const gfx::Color& shadow, Size offset, TextAlignment alignment) {
    textCentered(ctx, s, rect.offset(offset.width, offset.height), font, shadow, alignment);
    return textCentered(ctx, s, rect, font, color, alignment);
}

void chevron(gfx::Context& ctx, Point c, Float size, const gfx::Color& color, Float width) {
    gfx::SavedState saved(ctx);
    ctx.beginPath();
    ctx.moveTo(c.x - size / 2, c.y - size);
    ctx.lineTo(c.x + size / 2, c.y);
    ctx.lineTo(c.x - size / 2, c.y + size);
    ctx.setStrokeColor(color);
    ctx.setLineWidth(width);
    ctx.setLineCap(gfx::LineCap::Square);
    ctx.setLineJoin(gfx::LineJoin::Miter);
    ctx.strokePath();
}

void checkmark(gfx::Context& ctx, Rect r, const gfx::Color& color, Float width) {
    gfx::SavedState saved(ctx);
    ctx.beginPath();
    ctx.moveTo(r.minX(), r.midY());
    ctx.lineTo(r.minX() + r.width() * 0.38f, r.maxY());
    ctx.lineTo(r.maxX(), r.minY());
    ctx.setStrokeColor(color);
    ctx.setLineWidth(width);
    ctx.setLineCap(gfx::LineCap::Round);
    ctx.setLineJoin(gfx::LineJoin::Round);
    ctx.strokePath();
}

void detailDisclosure(gfx::Context& ctx, Rect r) {
    {
        gfx::SavedState saved(ctx);
        ctx.setShadow(Size(0, 1), 1.5f, gfx::Color::black().withAlpha(0.4f));
        ctx.setFillColor(gfx::Color::white());
        ctx.fillEllipseInRect(r);
    }
    Rect inner = r.inset(2, 2);
    {
        gfx::SavedState saved(ctx);
        ctx.beginPath();
        ctx.addEllipseInRect(inner);
        ctx.clip();
        fillVerticalGradient(ctx, inner, palette::detailDisclosureTop(), palette::detailDisclosureBottom());
    }
    chevron(ctx, Point(r.midX() + 1, r.midY()), r.height() * 0.36f, gfx::Color::white(), 2.5f);
}

void plusCircle(gfx::Context& ctx, Rect r, const gfx::Color& color) {
    ctx.setFillColor(color);
    ctx.fillEllipseInRect(r);
    ctx.setFillColor(gfx::Color::white());
    Float t = std::max<Float>(2, r.width() / 8);
    ctx.fillRect(Rect(r.minX() + r.width() * 0.22f, r.midY() - t / 2, r.width() * 0.56f, t));
    ctx.fillRect(Rect(r.midX() - t / 2, r.minY() + r.height() * 0.22f, t, r.height() * 0.56f));
}

void minusCircle(gfx::Context& ctx, Rect r, const gfx::Color& color) {
    ctx.setFillColor(color);
    ctx.fillEllipseInRect(r);
    ctx.setFillColor(gfx::Color::white());
    Float t = std::max<Float>(2, r.width() / 8);
    ctx.fillRect(Rect(r.minX() + r.width() * 0.22f, r.midY() - t / 2, r.width() * 0.56f, t));
}

}  // namespace ui::draw
