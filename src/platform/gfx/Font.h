#pragma once
// Fonts by name and size. Names are PostScript-style ("Helvetica",
// "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique") or plain
// family names; the suffix after the last '-' gives weight and slant. The
// family is resolved through fontconfig; "Helvetica" and "Arial" map to
// Liberation Sans, "Times" to Liberation Serif and "Courier" to Liberation
// Mono (metric twins), and an unknown family falls back to sans. Sizes are in
// points at 72 dots per inch, so one point is one user-space unit. Fonts and
// text are used from the main thread only.
#include <memory>
#include <string>

#include "platform/gfx/Geometry.h"

typedef struct _PangoFontDescription PangoFontDescription;

namespace gfx {

class Font {
public:
    // The font of the name and size. A size that is not greater than 0, or
    // NaN, becomes the system font size.
    Font(const std::string& name, Float size);

    static constexpr Float kSystemFontSize = 14;
    // The toolkit's plain and bold system fonts (Liberation Sans).
    static Font systemFont(Float size);
    static Font boldSystemFont(Float size);
    static Font italicSystemFont(Float size);

    // The name as given ("Helvetica-Bold").
    const std::string& fontName() const { return name_; }
    // The family that fontconfig resolved ("Liberation Sans").
    const std::string& familyName() const { return family_; }
    Float pointSize() const { return size_; }
    bool isBold() const { return bold_; }
    bool isItalic() const { return italic_; }
    // The same face at another size.
    Font withSize(Float size) const;

    // Metrics in points: ascender above the baseline (positive), descender
    // below it (negative), and the height of one line.
    Float ascender() const;
    Float descender() const;
    Float lineHeight() const;

    // The pango description of the face (owned by the font).
    const PangoFontDescription* description() const { return desc_.get(); }

    bool operator==(const Font& other) const;

private:
    Font() = default;
    void resolve();

    std::string name_;
    std::string family_;
    Float size_ = kSystemFontSize;
    bool bold_ = false;
    bool italic_ = false;
    std::shared_ptr<PangoFontDescription> desc_;
};

}  // namespace gfx
