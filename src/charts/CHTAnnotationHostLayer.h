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
    std::vector<std::shared_ptr<CHTAnnotation>> annotations() const {
        closeUp();
        return mutableAnnotations_;
    }
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
    // Whether the list holds the annotation (found by its slot).
    bool holds(const CHTAnnotation* annotation) const;
    // Takes a held annotation out of the list, leaving its place empty.
    void takeOut(const CHTAnnotation& annotation);
    void closeUp() const;
    // Tells an annotation the index it has now in this host's list.
    static void placeInSlot(CHTAnnotation& annotation, std::size_t slot) { annotation.hostSlot_ = slot; }

    // A removed annotation leaves its place empty (nullptr) rather than
    // shifting every annotation after it, so that removing many from a long
    // list one by one stays linear; the list is closed up before it is read
    // in order, or when an append finds the empty places outnumbering the
    // annotations. Every other place holds an annotation whose hostSlot_ is
    // its index.
    mutable std::vector<std::shared_ptr<CHTAnnotation>> mutableAnnotations_;
    mutable std::size_t emptySlots_ = 0;
};
