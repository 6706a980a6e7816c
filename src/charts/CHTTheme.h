#pragma once
// A theme gives a graph a complete look in one call: the background fill of
// the graph, the fill, border and corner radius of its plot area frame, and
// the labelling rules, line styles, tick lengths and text styles of its axes.
//
// Themes are found by name in a process-wide registry that the program fills
// once at start-up (registerThemes(), safe to call again). A theme object is
// stateless apart from the class of graph that newGraph() makes; lookups
// make a new theme each time.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/Geometry.h"

class CHTAxisSet;
class CHTGraph;
class CHTPlotAreaFrame;
class CHTTheme;

// The name of the theme the application uses.
inline constexpr const char* kCHTDarkGradientTheme = "Dark Gradients";

// A registered theme class: its class name (its identity in the registry),
// the name it is looked up by, and a factory of new instances.
struct CHTThemeClass {
    std::string className;
    std::string name;
    std::function<std::shared_ptr<CHTTheme>()> make;
};

class CHTTheme : public base::Coding {
public:
    using GraphFactory = std::function<std::shared_ptr<CHTGraph>(const gfx::Rect& frame)>;

    CHTTheme() = default;
    ~CHTTheme() override = default;

    // ---- The registry (one lock guards registering and looking up)
    // Adds the class; raises "CHTException" "Theme class already registered:
    // <class name>" when a class of that name is already in the registry.
    static void registerTheme(const CHTThemeClass& themeClass);
    // The five themes of the charting library and the archive class of
    // themes; classes already registered are left alone, so a second call
    // does nothing.
    static void registerThemes();
    // The registered classes by name, ascending, ignoring case.
    static std::vector<CHTThemeClass> themeClasses();
    // A new theme of the first registered class with that name; nullptr when
    // there is none.
    static std::shared_ptr<CHTTheme> themeNamed(const std::string& name);

    // ---- Graph classes by name ("CHTXYGraph"); a null factory for a name
    // that is not a concrete graph class.
    static GraphFactory graphFactoryNamed(const std::string& graphClassName);

    // The theme's name (the class's own name for the base).
    virtual std::string name() const { return "CHTTheme"; }

    // The class of graph that newGraph() makes; empty = none.
    const std::string& graphClass() const { return graphClass_; }
    // Raises "CHTException" "Invalid graph class for theme; must be a
    // subclass of CHTGraph" unless the name is a concrete graph class.
    void setGraphClass(const std::string& graphClassName);

    // Background, plot area frame, then axis set. Nothing for nullptr.
    void applyThemeToGraph(const std::shared_ptr<CHTGraph>& graph);

    // ---- Abstract operations: nothing in the base.
    // A new graph of the theme, owned by the caller (nullptr in the base).
    virtual std::shared_ptr<CHTGraph> newGraph();
    virtual void applyThemeToBackground(const std::shared_ptr<CHTGraph>& graph);
    virtual void applyThemeToPlotArea(const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame);
    virtual void applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet);

    // Archives name only the base class; decoding stands in a new theme of
    // the decoded name (the receiver stays a bare theme when no theme has
    // that name), with the decoded graph class when it is a known one.
    std::string classForCoder() const override { return "CHTTheme"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

protected:
    std::string graphClass_;
};
