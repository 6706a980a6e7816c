#pragma once
// Shared helpers of the graphics tests: a temporary home for the whole
// program (fontconfig reads its caches from there) and pixel probes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "TestEnvironment.h"
#include "platform/gfx/Image.h"

namespace gfxtest {

class HomeEnvironment : public ::testing::Environment {
public:
    void SetUp() override { home_ = std::make_unique<test::TempHome>(); }
    void TearDown() override { home_.reset(); }

private:
    std::unique_ptr<test::TempHome> home_;
};

inline bool near(int a, int b, int tolerance) { return std::abs(a - b) <= tolerance; }

// Whether the pixel has the colour within a tolerance per component.
inline ::testing::AssertionResult pixelIs(const gfx::Image& image, int x, int y, int r, int g, int b, int a,
                                          int tolerance = 2) {
    gfx::Image::RGBA8 p = image.pixel(x, y);
    if (near(p.r, r, tolerance) && near(p.g, g, tolerance) && near(p.b, b, tolerance) && near(p.a, a, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is (" << int(p.r) << ", " << int(p.g)
                                         << ", " << int(p.b) << ", " << int(p.a) << "), expected (" << r << ", " << g
                                         << ", " << b << ", " << a << ")";
}

}  // namespace gfxtest
