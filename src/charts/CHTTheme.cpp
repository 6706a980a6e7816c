#include "charts/CHTTheme.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "charts/CHTGraph.h"
#include "charts/CHTXYGraph.h"
#include "charts/_CHTDarkGradientTheme.h"
#include "charts/_CHTPlainBlackTheme.h"
#include "charts/_CHTPlainWhiteTheme.h"
#include "charts/_CHTSlateTheme.h"
#include "charts/_CHTStocksTheme.h"
#include "platform/base/Exception.h"
#include "platform/base/Format.h"

namespace {

// The registry of theme classes and the one lock that guards it, for
// registering and for looking up alike.
struct Registry {
    std::mutex mutex;
    std::vector<CHTThemeClass> classes;
};

Registry& registry() {
    static Registry r;
    return r;
}

bool containsClass(const std::vector<CHTThemeClass>& classes, const std::string& className) {
    return std::any_of(classes.begin(), classes.end(),
                       [&](const CHTThemeClass& c) { return c.className == className; });
}

std::string lowercase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The concrete graph classes a theme can name.
const std::map<std::string, CHTTheme::GraphFactory>& graphFactories() {
    static const std::map<std::string, CHTTheme::GraphFactory> factories{
        {"CHTXYGraph", [](const gfx::Rect& frame) -> std::shared_ptr<CHTGraph> { return CHTXYGraph::create(frame); }},
    };
    return factories;
}

}  // namespace

// ---- Registry

void CHTTheme::registerTheme(const CHTThemeClass& themeClass) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (containsClass(r.classes, themeClass.className))
        base::raise("CHTException", base::format("Theme class already registered: %@", themeClass.className));
    r.classes.push_back(themeClass);
}

void CHTTheme::registerThemes() {
    const CHTThemeClass builtIn[] = {
        _CHTDarkGradientTheme::themeClass(), _CHTPlainBlackTheme::themeClass(), _CHTPlainWhiteTheme::themeClass(),
        _CHTStocksTheme::themeClass(),       _CHTSlateTheme::themeClass(),
    };
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        for (const auto& c : builtIn)
            if (!containsClass(r.classes, c.className)) r.classes.push_back(c);
    }
    base::KeyedUnarchiver::registerClass("CHTTheme", [] { return std::make_shared<CHTTheme>(); });
}

std::vector<CHTThemeClass> CHTTheme::themeClasses() {
    std::vector<CHTThemeClass> classes;
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        classes = r.classes;
    }
    std::stable_sort(classes.begin(), classes.end(), [](const CHTThemeClass& a, const CHTThemeClass& b) {
        return lowercase(a.name) < lowercase(b.name);
    });
    return classes;
}

std::shared_ptr<CHTTheme> CHTTheme::themeNamed(const std::string& name) {
    std::function<std::shared_ptr<CHTTheme>()> make;
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        for (const auto& c : r.classes)
            if (c.name == name) {
                make = c.make;
                break;
            }
    }
    return make ? make() : nullptr;
}

CHTTheme::GraphFactory CHTTheme::graphFactoryNamed(const std::string& graphClassName) {
    const auto& factories = graphFactories();
    auto it = factories.find(graphClassName);
    return it == factories.end() ? GraphFactory() : it->second;
}

// ---- Instance

void CHTTheme::setGraphClass(const std::string& graphClassName) {
    if (graphClassName == graphClass_) return;
    if (!graphFactoryNamed(graphClassName))
        base::raise("CHTException", "Invalid graph class for theme; must be a subclass of CHTGraph");
    graphClass_ = graphClassName;
}

void CHTTheme::applyThemeToGraph(const std::shared_ptr<CHTGraph>& graph) {
    if (!graph) return;
    applyThemeToBackground(graph);
    applyThemeToPlotArea(graph->plotAreaFrame());
    applyThemeToAxisSet(graph->axisSet());
}

std::shared_ptr<CHTGraph> CHTTheme::newGraph() { return nullptr; }
void CHTTheme::applyThemeToBackground(const std::shared_ptr<CHTGraph>&) {}
void CHTTheme::applyThemeToPlotArea(const std::shared_ptr<CHTPlotAreaFrame>&) {}
void CHTTheme::applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>&) {}

// ---- Archiving

void CHTTheme::encodeWithCoder(base::KeyedArchiver& coder) const {
    coder.encodeString(name(), "CHTTheme.name");
    coder.encodeString(graphClass_, "CHTTheme.graphClass");
}

std::shared_ptr<base::Coding> CHTTheme::initWithCoder(base::KeyedUnarchiver& coder) {
    auto theme = themeNamed(coder.decodeString("CHTTheme.name"));
    if (!theme) return nullptr;
    // A graph class this program does not know keeps the theme's own.
    std::string graphClassName = coder.decodeString("CHTTheme.graphClass");
    if (graphFactoryNamed(graphClassName)) theme->setGraphClass(graphClassName);
    return theme;
}
