#include "charts/CHTAnnotationHostLayer.h"

#include <algorithm>

#include "charts/CHTCoderExtensions.h"
#include "platform/base/Format.h"

CHTAnnotationHostLayer::CHTAnnotationHostLayer(const gfx::Rect& frame) : CHTLayer(frame) {}

std::shared_ptr<CHTAnnotationHostLayer> CHTAnnotationHostLayer::self() {
    return std::static_pointer_cast<CHTAnnotationHostLayer>(shared_from_this());
}

void CHTAnnotationHostLayer::addAnnotation(const std::shared_ptr<CHTAnnotation>& annotation) {
    if (!annotation) return;
    // An annotation lives in one list only: take it out of the host that
    // holds it (this one included) before appending it here.
    if (auto old = annotation->annotationHostLayer()) {
        auto& list = old->mutableAnnotations_;
        list.erase(std::remove(list.begin(), list.end(), annotation), list.end());
        if (old.get() != this) annotation->setAnnotationHostLayer(nullptr);
    }
    mutableAnnotations_.push_back(annotation);
    auto me = self();
    if (annotation->annotationHostLayer() != me) annotation->setAnnotationHostLayer(me);
    annotation->positionContentLayer();
}

void CHTAnnotationHostLayer::removeAnnotation(const std::shared_ptr<CHTAnnotation>& annotation) {
    auto it = std::find(mutableAnnotations_.begin(), mutableAnnotations_.end(), annotation);
    if (!annotation || it == mutableAnnotations_.end()) {
        auto host = annotation ? annotation->annotationHostLayer() : nullptr;
        base::raise("CHTException", base::format("Tried to remove CHTAnnotation from %@. Host layer was %@.",
                                                 description(), host ? host->description() : std::string("(null)")));
    }
    annotation->setAnnotationHostLayer(nullptr);
    mutableAnnotations_.erase(std::find(mutableAnnotations_.begin(), mutableAnnotations_.end(), annotation));
}

void CHTAnnotationHostLayer::removeAllAnnotations() {
    auto list = mutableAnnotations_;
    for (const auto& a : list) a->setAnnotationHostLayer(nullptr);
    mutableAnnotations_.clear();
}

std::set<const gfx::Layer*> CHTAnnotationHostLayer::sublayersExcludedFromAutomaticLayout() const {
    std::set<const gfx::Layer*> excluded = CHTLayer::sublayersExcludedFromAutomaticLayout();
    for (const auto& a : mutableAnnotations_)
        if (a->contentLayer()) excluded.insert(a->contentLayer().get());
    return excluded;
}

void CHTAnnotationHostLayer::layoutSublayers() {
    CHTLayer::layoutSublayers();
    auto list = mutableAnnotations_;
    for (const auto& a : list) a->positionContentLayer();
}

void CHTAnnotationHostLayer::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTLayer::encodeWithCoder(coder);
    encodeObjectArray(coder, mutableAnnotations_, "CHTAnnotationHostLayer.mutableAnnotations");
}

std::shared_ptr<base::Coding> CHTAnnotationHostLayer::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTLayer::initWithCoder(coder);
    mutableAnnotations_.clear();
    auto me = self();
    for (const auto& a : decodeObjectArrayOfType<CHTAnnotation>(coder, "CHTAnnotationHostLayer.mutableAnnotations")) {
        mutableAnnotations_.push_back(a);
        a->host_.reset();
        a->setAnnotationHostLayer(me);
    }
    return nullptr;
}
