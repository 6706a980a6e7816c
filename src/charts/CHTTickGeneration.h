#pragma once
// Tick generation as plain functions of a working range and the settings of
// a labelling policy: no axis, plot space or chart is needed. An axis hands
// them its visible range and its settings, keeps the locations they return
// and logs a cap they ran into.
//
// Every generator keeps a tick that comes out within a billionth of its
// spacing past a limit of the range and places it on that limit (locations
// are sums and products that round, and a decimal limit is not exact in
// binary), and stays within the two caps of the settings.
#include <cstddef>
#include <set>

#include "charts/CHTPlotRange.h"
#include "charts/CHTPlotSpace.h"
#include "platform/base/Decimal.h"

// Tick locations: exact decimals along the axis, without duplicates.
using CHTDecimalSet = std::set<base::Decimal>;

// What one relabel may generate: more major ticks than a chart can show
// leave both sets empty; more tick locations in all drop only the minor
// ticks, the majors kept.
inline constexpr std::size_t kCHTMaximumMajorTickLocations = 1000;
inline constexpr std::size_t kCHTMaximumTickLocations = 10000;

// A step rounded to 1, 2, 5 or 10 times a power of ten, with the sign of x.
// With round: the nearest such value; without: the next one up.
double niceNum(double x, bool round);

// The settings the generators read; each reads only those of its policy.
struct CHTTickPolicy {
    // Fixed interval: majors at origin + k * interval.
    base::Decimal majorIntervalLength = base::Decimal::one();
    base::Decimal labelingOrigin = base::Decimal::zero();
    // All policies: minor ticks between two majors.
    unsigned minorTicksPerInterval = 1;
    // Automatic and equal divisions.
    unsigned preferredNumberOfMajorTicks = 0;
    // Automatic: linear or log; any other scale gets no ticks.
    int scaleType = CHTScaleTypeLinear;
    std::size_t maximumMajorTickLocations = kCHTMaximumMajorTickLocations;
    std::size_t maximumTickLocations = kCHTMaximumTickLocations;
};

// The cap a generation ran into, by what is left of its ticks.
enum class CHTTickCap {
    None,
    MinorTicksDropped,  // the majors fit their cap, the ticks in all did not
    AllTicksDropped,    // more majors than their cap: both sets are empty
};

struct CHTTickLocations {
    CHTDecimalSet major;
    CHTDecimalSet minor;
    CHTTickCap cap = CHTTickCap::None;
};

// Fixed interval, in exact decimals: majors at whole multiples of the
// interval from the origin inside the range, minors strictly between them
// (and below the first and above the last major, inside the range). No
// ticks unless the interval is above 0.
CHTTickLocations CHTFixedIntervalTickLocations(const CHTPlotRange& range, const CHTTickPolicy& policy);

// Automatic: a nice interval for about the preferred count (0 taken as 5;
// on a linear scale 1 as 2); linear majors are whole multiples of it, log
// majors powers of ten a nice number of decades apart. No ticks for a
// range of length 0, a log range reaching 0 or below, or another scale.
CHTTickLocations CHTAutomaticTickLocations(const CHTPlotRange& range, const CHTTickPolicy& policy);

// Equal divisions, in exact decimals: majors from min to max in preferred
// - 1 equal parts (min and max only when 0 or 1 are asked for), minors
// between them. No ticks for a range of length 0.
CHTTickLocations CHTEqualDivisionTickLocations(const CHTPlotRange& range, const CHTTickPolicy& policy);
