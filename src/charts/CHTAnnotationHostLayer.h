#pragma once
// A chart layer that owns a list of annotations, shows their content layers
// as its sublayers and repositions them whenever it lays out.
#include <memory>
#include <vector>

#include "charts/CHTAnnotation.h"
#include "charts/CHTLayer.h"

class CHTAnnotationHostLayer : public CHTLayer {
public:
    explicit CHTAnnotationHostLayer(const gfx::Rect& frame = gfx::Rect::zero());

    // A copy of the list.
    std::vector<std::shared_ptr<CHTAnnotation>> annotations() const { return mutableAnnotations_; }
    // Appends the annotation (moving it from any host that held it, this one
    // included), shows its content and positions it. nullptr is ignored.
    void addAnnotation(const std::shared_ptr<CHTAnnotation>& annotation);
    // Raises "CHTException" when the list does not hold the annotation.
    void removeAnnotation(const std::shared_ptr<CHTAnnotation>& annotation);
    void removeAllAnnotations();

    // The content layers of the annotations: they are placed by them.
    std::set<const gfx::Layer*> sublayersExcludedFromAutomaticLayout() const override;
    // The inherited layout, then every annotation positions its content.
    void layoutSublayers() override;

    std::string classForCoder() const override { return "CHTAnnotationHostLayer"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    std::shared_ptr<CHTAnnotationHostLayer> self();

    std::vector<std::shared_ptr<CHTAnnotation>> mutableAnnotations_;
};
