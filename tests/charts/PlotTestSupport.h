#pragma once
// Fakes for the plot tests: data sources that answer from a table of values
// by one chosen operation and log what they are asked, and a plot standing
// alone over an XY plot space of a fake graph (plot area = plot bounds).
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "charts/CHTBarPlot.h"
#include "charts/CHTScatterPlot.h"
#include "charts/CHTXYPlotSpace.h"
#include "charts/ChartTestSupport.h"
#include "platform/base/Format.h"

namespace plottest {

inline constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Which operation a fake answers with.
enum class Answer { CountOnly, Number, Double, Numbers, Doubles, Data, DecimalNumber };

// Values per field; NaN in a table is answered as nil (or NaN).
class TableSource : public CHTScatterPlotDataSource, public CHTBarPlotDataSource {
public:
    explicit TableSource(Answer answer = Answer::Number) : answer(answer) {}

    std::size_t numberOfRecordsForPlot(CHTPlot*) override { return count; }

    std::optional<CHTPlotNumbers> dataForPlot(CHTPlot*, std::size_t field, CHTRecordRange range) override {
        if (answer != Answer::Data) return std::nullopt;
        log.push_back(base::format("data %u %u %u", unsigned(field), unsigned(range.location), unsigned(range.length)));
        std::vector<base::Number> numbers;
        for (std::size_t i = range.location; i < range.end(); ++i) numbers.push_back(base::Number(value(field, i)));
        return CHTPlotNumbers(CHTNumericData::numericDataWithArray(numbers, "<f8", std::nullopt));
    }
    std::optional<std::span<const double>> doublesForPlot(CHTPlot*, std::size_t field, CHTRecordRange range) override {
        if (answer != Answer::Doubles) return std::nullopt;
        log.push_back(
            base::format("doubles %u %u %u", unsigned(field), unsigned(range.location), unsigned(range.length)));
        buffer.clear();
        for (std::size_t i = range.location; i < range.end() && buffer.size() < doublesLimit; ++i)
            buffer.push_back(value(field, i));
        return std::span<const double>(buffer);
    }
    std::optional<CHTPlotNumberArray> numbersForPlot(CHTPlot*, std::size_t field, CHTRecordRange range) override {
        if (answer != Answer::Numbers) return std::nullopt;
        log.push_back(
            base::format("numbers %u %u %u", unsigned(field), unsigned(range.location), unsigned(range.length)));
        CHTPlotNumberArray out;
        for (std::size_t i = range.location; i < range.end(); ++i) out.push_back(base::Number(value(field, i)));
        return out;
    }
    std::optional<double> doubleForPlot(CHTPlot*, std::size_t field, std::size_t index) override {
        if (answer != Answer::Double) return std::nullopt;
        log.push_back(base::format("double %u %u", unsigned(field), unsigned(index)));
        return value(field, index);
    }
    std::optional<std::optional<base::Number>> numberForPlot(CHTPlot*, std::size_t field, std::size_t index) override {
        if (answer != Answer::Number && answer != Answer::DecimalNumber) return std::nullopt;
        log.push_back(base::format("number %u %u", unsigned(field), unsigned(index)));
        double v = value(field, index);
        if (std::isnan(v)) return std::optional<base::Number>();
        if (answer == Answer::DecimalNumber) return std::optional<base::Number>(base::Number(CHTDecimalFromDouble(v)));
        return std::optional<base::Number>(base::Number(v));
    }
    std::optional<CHTDataSourceObject<CHTLayer>> dataLabelForPlot(CHTPlot*, std::size_t index) override {
        if (!labels) return std::nullopt;
        auto it = labelAnswers.find(index);
        return it == labelAnswers.end() ? CHTDataSourceObject<CHTLayer>::nil() : it->second;
    }
    std::optional<std::vector<CHTDataSourceObject<CHTPlotSymbol>>> symbolsForScatterPlot(
        CHTScatterPlot*, CHTRecordRange range) override {
        if (!symbolList) return std::nullopt;
        log.push_back(base::format("symbols %u %u", unsigned(range.location), unsigned(range.length)));
        return *symbolList;
    }
    std::optional<CHTDataSourceObject<CHTFill>> barFillForBarPlot(CHTBarPlot*, std::size_t index) override {
        if (fills.empty()) return std::nullopt;
        auto it = fills.find(index);
        return it == fills.end() ? CHTDataSourceObject<CHTFill>::nil() : it->second;
    }
    std::optional<CHTDataSourceObject<CHTLineStyle>> barLineStyleForBarPlot(CHTBarPlot*, std::size_t index) override {
        if (lineStyles.empty()) return std::nullopt;
        auto it = lineStyles.find(index);
        return it == lineStyles.end() ? CHTDataSourceObject<CHTLineStyle>::nil() : it->second;
    }

    double value(std::size_t field, std::size_t index) const {
        auto it = fields.find(field);
        if (it == fields.end() || index >= it->second.size()) return NaN;
        return it->second[index];
    }
    // Sets a field and the count to its size.
    void set(std::size_t field, std::vector<double> values) {
        count = values.size();
        fields[field] = std::move(values);
    }

    Answer answer;
    std::size_t count = 0;
    std::map<std::size_t, std::vector<double>> fields;
    std::vector<std::string> log;
    std::vector<double> buffer;
    std::size_t doublesLimit = static_cast<std::size_t>(-1);
    bool labels = false;
    std::map<std::size_t, CHTDataSourceObject<CHTLayer>> labelAnswers;
    std::optional<std::vector<CHTDataSourceObject<CHTPlotSymbol>>> symbolList;
    std::map<std::size_t, CHTDataSourceObject<CHTFill>> fills;
    std::map<std::size_t, CHTDataSourceObject<CHTLineStyle>> lineStyles;
};

// A plot space over a fake graph whose plot area is `size`, with the ranges.
struct Stage {
    Stage(gfx::Size size, double x0, double xl, double y0, double yl)
        : graph(std::make_shared<charttest::FakeGraph>(size)), space(std::make_shared<CHTXYPlotSpace>()) {
        space->setGraph(graph);
        space->setXRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromDouble(x0), CHTDecimalFromDouble(xl)));
        space->setYRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromDouble(y0), CHTDecimalFromDouble(yl)));
    }
    template <class P>
    std::shared_ptr<P> add(std::shared_ptr<P> plot) {
        plot->setFrame(gfx::Rect(gfx::Point(0, 0), graph->size));
        plot->setPlotSpace(space);
        return plot;
    }
    std::shared_ptr<charttest::FakeGraph> graph;
    std::shared_ptr<CHTXYPlotSpace> space;
};

// The path operations of a recording, one text per element.
inline std::vector<std::string> pathTexts(const gfx::Path& path) {
    std::vector<std::string> out;
    for (const auto& e : path.elements()) {
        switch (e.type) {
        case gfx::PathElementType::MoveToPoint:
            out.push_back(base::format("M %g %g", double(e.points[0].x), double(e.points[0].y)));
            break;
        case gfx::PathElementType::AddLineToPoint:
            out.push_back(base::format("L %g %g", double(e.points[0].x), double(e.points[0].y)));
            break;
        case gfx::PathElementType::AddQuadCurveToPoint: out.push_back("Q"); break;
        case gfx::PathElementType::AddCurveToPoint:
            out.push_back(base::format("C %g %g", double(e.points[2].x), double(e.points[2].y)));
            break;
        case gfx::PathElementType::CloseSubpath: out.push_back("Z"); break;
        }
    }
    return out;
}

}  // namespace plottest
