#pragma once
// Draws a layer tree: lays it out, then draws every visible layer with its
// transform, clipping and opacity, sublayers on top of their layer in order.
// The window host and headless screenshots both draw through it.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/Geometry.h"

namespace gfx {

class Context;
class Image;
class Layer;

class Renderer {
public:
    // Lays out the tree and draws the layer at its frame in the context's
    // current user space (its superlayer's space).
    static void render(Layer& layer, Context& context);
    // Lays out the tree and draws the layer in its own bounds space: the
    // context's current user space is the layer's bounds space (its own
    // position and transform are not applied; its clip and opacity are).
    static void renderInBounds(Layer& layer, Context& context);
    // The layer drawn into a new y-down image of its bounds' size at the scale.
    static std::shared_ptr<Image> renderToImage(Layer& layer, Float scale = 1);
    // The layer drawn into a one-page PDF document whose media box is
    // (0, 0, bounds width, bounds height), the layer drawn y-down from the
    // top of the page.
    static std::vector<std::uint8_t> renderToPDF(Layer& layer);

    // Draws one layer and its sublayers without laying out first; the
    // context's user space is the layer's superlayer's space.
    static void drawLayerTree(Layer& layer, Context& context);
};

}  // namespace gfx
