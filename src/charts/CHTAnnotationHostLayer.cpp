#include "charts/CHTAnnotationHostLayer.h"

#include <algorithm>

#include "charts/CHTCoderExtensions.h"
#include "platform/base/Format.h"
#include "platform/base/SlotList.h"

CHTAnnotationHostLayer::CHTAnnotationHostLayer(const gfx::Rect& frame) : CHTLayer(frame) {}

std::shared_ptr<CHTAnnotationHostLayer> CHTAnnotationHostLayer::self() {
    return std::static_pointer_cast<CHTAnnotationHostLayer>(shared_from_this());
}

bool CHTAnnotationHostLayer::holds(const CHTAnnotation* annotation) const {
    return annotation && annotation->hostSlot_ < mutableAnnotations_.size() &&
           mutableAnnotations_[annotation->hostSlot_].get() == annotation;
}

void CHTAnnotationHostLayer::takeOut(const CHTAnnotation& annotation) {
    if (!holds(&annotation)) return;
    base::emptySlot(mutableAnnotations_, annotation.hostSlot_, emptySlots_);
}

void CHTAnnotationHostLayer::closeUp() const {
    if (emptySlots_ == 0) return;
    base::closeUpSlots(mutableAnnotations_, emptySlots_, placeInSlot);
}

void CHTAnnotationHostLayer::addAnnotation(const std::shared_ptr<CHTAnnotation>& annotation) {
    if (!annotation) return;
    // An annotation lives in one list only: take it out of the host that
    // holds it (this one included) before appending it here.
    if (auto old = annotation->annotationHostLayer()) {
        old->takeOut(*annotation);
        if (old.get() != this) annotation->setAnnotationHostLayer(nullptr);
    }
    base::appendToSlots(mutableAnnotations_, emptySlots_, annotation, placeInSlot);
    auto me = self();
    if (annotation->annotationHostLayer() != me) annotation->setAnnotationHostLayer(me);
    annotation->positionContentLayer();
}

void CHTAnnotationHostLayer::removeAnnotation(const std::shared_ptr<CHTAnnotation>& annotation) {
    if (!holds(annotation.get())) {
        auto host = annotation ? annotation->annotationHostLayer() : nullptr;
        base::raise("CHTException", base::format("Tried to remove CHTAnnotation from %@. Host layer was %@.",
                                                 description(), host ? host->description() : std::string("(null)")));
    }
    annotation->setAnnotationHostLayer(nullptr);
    takeOut(*annotation);
}

void CHTAnnotationHostLayer::removeAllAnnotations() {
    closeUp();
    auto list = mutableAnnotations_;
    for (const auto& a : list) a->setAnnotationHostLayer(nullptr);
    mutableAnnotations_.clear();
}

std::set<const gfx::Layer*> CHTAnnotationHostLayer::sublayersExcludedFromAutomaticLayout() const {
    std::set<const gfx::Layer*> excluded = CHTLayer::sublayersExcludedFromAutomaticLayout();
    for (const auto& a : mutableAnnotations_)
        if (a && a->contentLayer()) excluded.insert(a->contentLayer().get());
    return excluded;
}

void CHTAnnotationHostLayer::layoutSublayers() {
    CHTLayer::layoutSublayers();
    closeUp();
    auto list = mutableAnnotations_;
    for (const auto& a : list) a->positionContentLayer();
}

void CHTAnnotationHostLayer::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTLayer::encodeWithCoder(coder);
    closeUp();
    encodeObjectArray(coder, mutableAnnotations_, "CHTAnnotationHostLayer.mutableAnnotations");
}

std::shared_ptr<base::Coding> CHTAnnotationHostLayer::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTLayer::initWithCoder(coder);
    mutableAnnotations_.clear();
    emptySlots_ = 0;
    auto me = self();
    for (const auto& a : decodeObjectArrayOfType<CHTAnnotation>(coder, "CHTAnnotationHostLayer.mutableAnnotations")) {
        a->hostSlot_ = mutableAnnotations_.size();
        mutableAnnotations_.push_back(a);
        a->host_.reset();
        a->setAnnotationHostLayer(me);
    }
    return nullptr;
}
