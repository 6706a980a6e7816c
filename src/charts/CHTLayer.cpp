#include "charts/CHTLayer.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <typeinfo>

#include "charts/CHTCoderExtensions.h"
#include "platform/base/NotificationCenter.h"

namespace {

CHTLayer* chartLayer(gfx::Layer* layer) { return dynamic_cast<CHTLayer*>(layer); }

std::string className(const CHTLayer& layer) {
    std::string c = layer.classForCoder();
    return c.empty() ? "CHTLayer" : c;
}

}  // namespace

gfx::Path CreateRoundedRectPath(const gfx::Rect& rect, CGFloat radius) {
    gfx::Path p;
    CGFloat minX = rect.minX(), midX = rect.midX(), maxX = rect.maxX();
    CGFloat minY = rect.minY(), midY = rect.midY(), maxY = rect.maxY();
    p.moveTo(minX, midY);
    p.addArcToPoint(minX, minY, midX, minY, radius);
    p.addArcToPoint(maxX, minY, maxX, midY, radius);
    p.addArcToPoint(maxX, maxY, midX, maxY, radius);
    p.addArcToPoint(minX, maxY, minX, midY, radius);
    p.closeSubpath();
    return p;
}

void AddRoundedRectPath(gfx::Context& context, const gfx::Rect& rect, CGFloat radius) {
    context.addPath(CreateRoundedRectPath(rect, radius));
}

CHTLayer::CHTLayer(const gfx::Rect& frame) {
    setFrame(frame);
    gfx::Layer::setNeedsDisplayOnBoundsChange(false);
    gfx::Layer::setOpaque(false);
    gfx::Layer::setMasksToBounds(false);
}

CHTLayer::~CHTLayer() = default;

// ---- Padding

#define CHT_PADDING_SETTER(Name, field)       \
    void CHTLayer::set##Name(CGFloat value) { \
        if (value == (field)) return;         \
        (field) = value;                      \
        setNeedsLayout();                     \
    }
CHT_PADDING_SETTER(PaddingLeft, paddingLeft_)
CHT_PADDING_SETTER(PaddingTop, paddingTop_)
CHT_PADDING_SETTER(PaddingRight, paddingRight_)
CHT_PADDING_SETTER(PaddingBottom, paddingBottom_)
#undef CHT_PADDING_SETTER

void CHTLayer::setShadow(const std::shared_ptr<const CHTShadow>& shadow) {
    if (shadow.get() == shadow_.get()) return;
    shadow_ = shadow ? shadow->copy() : nullptr;
    setNeedsDisplay();
}

// ---- Overrides

void CHTLayer::dropBorderPaths() const {
    outerBorderPath_.reset();
    innerBorderPath_.reset();
}

void CHTLayer::setBounds(const gfx::Rect& bounds) {
    gfx::Layer::setBounds(bounds);
    dropBorderPaths();
}

void CHTLayer::setCornerRadius(CGFloat radius) {
    if (radius == cornerRadius()) return;
    gfx::Layer::setCornerRadius(radius);
    setNeedsDisplay();
    dropBorderPaths();
}

void CHTLayer::setHidden(bool hidden) {
    if (hidden == isHidden()) return;
    gfx::Layer::setHidden(hidden);
    if (!hidden) setNeedsDisplay();
}

void CHTLayer::postGraphNeedsRedraw() const {
    auto g = graph_.lock();
    if (!g) return;
    // The graph's identity is its complete object, as the plot spaces post
    // it, so that one observer filter catches both.
    base::NotificationCenter::defaultCenter().post(CHTGraphNeedsRedrawNotification, dynamic_cast<const void*>(g.get()),
                                                   g);
}

void CHTLayer::setNeedsDisplay() {
    gfx::Layer::setNeedsDisplay();
    postGraphNeedsRedraw();
}

void CHTLayer::setNeedsLayout() {
    gfx::Layer::setNeedsLayout();
    postGraphNeedsRedraw();
}

void CHTLayer::setContentsScale(CGFloat newContentsScale) {
    CHT_PARAMETER_ASSERT(newContentsScale > 0.0, "CHTLayer", "-[CHTLayer setContentsScale:]");
    if (!(newContentsScale > 0) || !std::isfinite(newContentsScale) || newContentsScale == contentsScale()) return;
    gfx::Layer::setContentsScale(newContentsScale);
    setNeedsDisplay();
    for (const auto& sub : std::vector<std::shared_ptr<gfx::Layer>>(sublayers()))
        if (auto c = chartLayer(sub.get())) c->setContentsScale(newContentsScale);
}

void CHTLayer::adoptContentsScale(const std::shared_ptr<gfx::Layer>& layer) {
    if (auto c = chartLayer(layer.get())) c->setContentsScale(contentsScale());
}

void CHTLayer::addSublayer(const std::shared_ptr<gfx::Layer>& layer) {
    gfx::Layer::addSublayer(layer);
    adoptContentsScale(layer);
}

void CHTLayer::insertSublayer(const std::shared_ptr<gfx::Layer>& layer, std::size_t index) {
    gfx::Layer::insertSublayer(layer, index);
    adoptContentsScale(layer);
}

void CHTLayer::insertSublayerBelow(const std::shared_ptr<gfx::Layer>& layer, const gfx::Layer* sibling) {
    gfx::Layer::insertSublayerBelow(layer, sibling);
    adoptContentsScale(layer);
}

void CHTLayer::insertSublayerAbove(const std::shared_ptr<gfx::Layer>& layer, const gfx::Layer* sibling) {
    gfx::Layer::insertSublayerAbove(layer, sibling);
    adoptContentsScale(layer);
}

void CHTLayer::replaceSublayer(const gfx::Layer* old, const std::shared_ptr<gfx::Layer>& with) {
    gfx::Layer::replaceSublayer(old, with);
    adoptContentsScale(with);
}

void CHTLayer::setSublayers(const std::vector<std::shared_ptr<gfx::Layer>>& layers) {
    gfx::Layer::setSublayers(layers);
    for (const auto& l : layers) adoptContentsScale(l);
}

// ---- Events

bool CHTLayer::pointingDeviceDownEvent(const CHTNativeEvent*, gfx::Point) { return false; }
bool CHTLayer::pointingDeviceDraggedEvent(const CHTNativeEvent*, gfx::Point) { return false; }
bool CHTLayer::pointingDeviceUpEvent(const CHTNativeEvent*, gfx::Point) { return false; }
bool CHTLayer::pointingDeviceCancelledEvent(const CHTNativeEvent*) { return false; }
bool CHTLayer::recognizer(const CHTNativeEvent*, gfx::Point, CGFloat) { return false; }

// ---- Layout

void CHTLayer::sublayerMargin(CGFloat& left, CGFloat& top, CGFloat& right, CGFloat& bottom) const {
    left = paddingLeft_;
    top = paddingTop_;
    right = paddingRight_;
    bottom = paddingBottom_;
}

std::set<const gfx::Layer*> CHTLayer::sublayersExcludedFromAutomaticLayout() const { return {}; }

void CHTLayer::layoutSublayers() {
    CGFloat left, top, right, bottom;
    sublayerMargin(left, top, right, bottom);
    gfx::Rect b = bounds();
    CGFloat width = b.width() - (left + right);
    CGFloat height = b.height() - (top + bottom);
    if (!(width > 0)) width = 0;
    if (!(height > 0)) height = 0;
    auto excluded = sublayersExcludedFromAutomaticLayout();
    for (const auto& sub : std::vector<std::shared_ptr<gfx::Layer>>(sublayers())) {
        CHTLayer* c = chartLayer(sub.get());
        if (!c || excluded.count(c)) continue;
        c->setFrame(gfx::Rect(left, bottom, width, height));
        c->setNeedsLayout();
        c->setNeedsDisplay();
    }
}

void CHTLayer::pixelAlign() {
    CGFloat s = contentsScale();
    gfx::Point p = position();
    CGFloat x, y;
    if (s != 1) {
        x = std::round(p.x * s) / s;
        y = std::round(p.y * s) / s;
    } else {
        x = std::round(p.x);
        y = std::round(p.y);
    }
    if (transform().isIdentity()) {
        gfx::Size size = bounds().size;
        gfx::Point anchor = anchorPoint();
        x += size.width * anchor.x - std::round(size.width * anchor.x);
        y += size.height * anchor.y - std::round(size.height * anchor.y);
    }
    setPosition(gfx::Point(x, y));
}

// ---- Masking

gfx::Path CHTLayer::outerPath() const {
    if (outerBorderPath_) return *outerBorderPath_;
    gfx::Rect b = bounds();
    gfx::Path p;
    if (!(cornerRadius() > 0)) {
        p.addRect(b);
    } else {
        CGFloat radius = std::min({outerCornerRadius(), b.width() / 2, b.height() / 2});
        p = CreateRoundedRectPath(b, std::max<CGFloat>(radius, 0));
    }
    outerBorderPath_ = p;
    return p;
}

CGFloat CHTLayer::outerCornerRadius() const { return cornerRadius(); }

std::optional<gfx::Path> CHTLayer::maskingPath() const {
    if (!masksToBounds()) return std::nullopt;
    return outerPath();
}

std::optional<gfx::Path> CHTLayer::sublayerMaskingPath() const { return innerBorderPath_; }

void CHTLayer::applyMaskToContext(gfx::Context& context) const {
    if (auto parent = chartLayer(superlayer())) parent->applySublayerMaskToContext(context, *this, gfx::Point(0, 0));
    if (auto path = maskingPath()) {
        context.beginPath();
        context.addPath(*path);
        context.clip();
    }
}

void CHTLayer::applySublayerMaskToContext(gfx::Context& context, const gfx::Layer& sublayer, gfx::Point offset) const {
    // The context draws in the child's bounds space; the clips are paths of
    // this layer's bounds space (and of its ancestors'), so the context is
    // taken into this layer's space for them and brought back after. This
    // holds both while the renderer draws the child and while a layer tree
    // renders recursively.
    gfx::AffineTransform toParent = sublayer.transformToSuperlayer();
    context.concat(toParent.invert());
    if (auto grandParent = chartLayer(superlayer())) grandParent->applySublayerMaskToContext(context, *this, offset);
    if (auto path = sublayerMaskingPath()) {
        context.translate(-offset.x, -offset.y);
        context.beginPath();
        context.addPath(*path);
        context.clip();
        context.translate(offset.x, offset.y);
    }
    context.concat(toParent);
}

// ---- Rendering

void CHTLayer::renderAsVectorInContext(gfx::Context& context) {
    applyMaskToContext(context);
    if (shadow_) shadow_->setShadowInContext(context);
}

void CHTLayer::drawInContext(gfx::Context& context) {
    useFastRendering_ = true;
    renderAsVectorInContext(context);
    useFastRendering_ = false;
}

void CHTLayer::applyTransform(const gfx::Transform3D& transform3D, gfx::Context& context) const {
    if (transform3D.isIdentity() || !transform3D.isAffine()) return;
    gfx::AffineTransform affine = transform3D.affine();
    gfx::Rect b = bounds();
    gfx::Point anchor(b.x() + anchorPoint().x * b.width(), b.y() + anchorPoint().y * b.height());
    gfx::AffineTransform t = gfx::AffineTransform::makeTranslation(-anchor.x, -anchor.y)
                                 .concat(affine)
                                 .concat(gfx::AffineTransform::makeTranslation(anchor.x, anchor.y));
    gfx::Rect r = t.apply(b);
    context.translate(-r.x(), -r.y());
    context.concat(t);
}

void CHTLayer::recursivelyRenderInContext(gfx::Context& context) {
    // A hidden layer draws nothing, its sublayers included.
    if (isHidden()) return;
    gfx::SavedState saved(context);
    applyTransform(transform(), context);
    renderingRecursively_ = true;
    {
        // A layer that masks keeps its clip for its sublayers.
        std::optional<gfx::SavedState> unmasked;
        if (!masksToBounds()) unmasked.emplace(context);
        renderAsVectorInContext(context);
    }
    renderingRecursively_ = false;

    const auto subs = sublayers();  // drawing may change the list
    for (const auto& sub : subs) {
        gfx::SavedState placed(context);
        gfx::Rect frame = sub->frame();
        gfx::Rect subBounds = sub->bounds();
        context.translate(frame.x() - subBounds.x(), frame.y() - subBounds.y());
        applyTransform(sublayerTransform(), context);
        if (auto c = chartLayer(sub.get())) {
            c->recursivelyRenderInContext(context);
        } else if (!sub->isHidden()) {
            if (masksToBounds()) context.clipToRect(subBounds);
            sub->drawInContext(context);
        }
    }
}

void CHTLayer::layoutAndRenderInContext(gfx::Context& context) {
    layoutIfNeeded();
    recursivelyRenderInContext(context);
}

std::vector<std::uint8_t> CHTLayer::dataForPDFRepresentationOfLayer() {
    gfx::Rect b = bounds();
    gfx::PDFContext pdf(gfx::Rect(0, 0, b.width(), b.height()));
    CHTPushCGContext(pdf);
    pdf.beginPage();
    layoutAndRenderInContext(pdf);
    pdf.endPage();
    pdf.close();
    CHTPopCGContext();
    return pdf.data();
}

std::string CHTLayer::description() const {
    return base::format("<%@ bounds: %@>", className(*this), CHTStringFromRect(bounds()));
}

// ---- Archiving

void CHTLayer::encodeWithCoder(base::KeyedArchiver& coder) const {
    // The geometry the layer tree itself keeps.
    encodeCHTRect(coder, bounds(), "CHTLayer.bounds");
    encodeCHTPoint(coder, position(), "CHTLayer.position");
    encodeCHTPoint(coder, anchorPoint(), "CHTLayer.anchorPoint");
    encodeCGFloat(coder, cornerRadius(), "CHTLayer.cornerRadius");
    coder.encodeBool(masksToBounds(), "CHTLayer.masksToBounds");
    coder.encodeBool(isHidden(), "CHTLayer.hidden");

    encodeCGFloat(coder, paddingLeft_, "CHTLayer.paddingLeft");
    encodeCGFloat(coder, paddingTop_, "CHTLayer.paddingTop");
    encodeCGFloat(coder, paddingRight_, "CHTLayer.paddingRight");
    encodeCGFloat(coder, paddingBottom_, "CHTLayer.paddingBottom");
    coder.encodeBool(masksToBorder_, "CHTLayer.masksToBorder");
    coder.encodeObject(shadow_, "CHTLayer.shadow");
    coder.encodeConditionalObject(graph_.lock().get(), "CHTLayer.graph");
}

std::shared_ptr<base::Coding> CHTLayer::initWithCoder(base::KeyedUnarchiver& coder) {
    if (coder.containsValueForKey("CHTLayer.bounds.origin.x")) setBounds(decodeCHTRect(coder, "CHTLayer.bounds"));
    if (coder.containsValueForKey("CHTLayer.position.x")) setPosition(decodeCHTPoint(coder, "CHTLayer.position"));
    if (coder.containsValueForKey("CHTLayer.anchorPoint.x"))
        setAnchorPoint(decodeCHTPoint(coder, "CHTLayer.anchorPoint"));
    gfx::Layer::setCornerRadius(decodeCGFloat(coder, "CHTLayer.cornerRadius"));
    gfx::Layer::setMasksToBounds(coder.decodeBool("CHTLayer.masksToBounds"));
    gfx::Layer::setHidden(coder.decodeBool("CHTLayer.hidden"));

    paddingLeft_ = decodeCGFloat(coder, "CHTLayer.paddingLeft");
    paddingTop_ = decodeCGFloat(coder, "CHTLayer.paddingTop");
    paddingRight_ = decodeCGFloat(coder, "CHTLayer.paddingRight");
    paddingBottom_ = decodeCGFloat(coder, "CHTLayer.paddingBottom");
    masksToBorder_ = coder.decodeBool("CHTLayer.masksToBorder");
    auto shadow = coder.decodeObjectOfType<CHTShadow>("CHTLayer.shadow");
    shadow_ = shadow ? shadow->copy() : nullptr;
    graph_ = coder.decodeObjectOfType<CHTLayer>("CHTLayer.graph");
    renderingRecursively_ = false;
    dropBorderPaths();
    return nullptr;
}
