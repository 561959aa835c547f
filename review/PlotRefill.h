#pragma once

#include "TContourPoint.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

class TChartSeries;
class TCustomAxisPanel;

/// Makes the series hold the table's points in order, as clearing it and adding every point with no
/// label and the series colour does: a series of the same length (filled that way before) only has
/// the values changed that differ, with one repaint request.
void RefillSeries(TChartSeries& series, const std::vector<TContourPoint>& table);

/// The chart's zoom reset (its undo-zoom handler included), left out where it would end where the
/// last reset through this object ended: a reset depends only on the axes' flags and ranges, the
/// data's extents, the zoom state, the chart's size and the label separators, and all of these
/// are the same again after a point moved inside the outline. That spares the drawings the reset
/// and its equal-scale adjustment make.
class TZoomReset {
public:
    /// `width`, `height`: the chart's client size; `separators`: decimal and group separator.
    void Reset(TCustomAxisPanel& chart, int width, int height, const std::string& separators);

private:
    struct TFrame {
        std::array<double, 16> values{};   ///< per side axis: minimum, maximum, data minimum, data maximum
        std::array<bool, 12> flags{};      ///< per side axis: automatic, automatic minimum, automatic maximum
        std::array<int, 3> state{};        ///< zoomed, scales restored, tag
        int width = 0, height = 0;
        std::string separators;
        bool operator==(const TFrame& other) const;
    };
    static TFrame Frame(TCustomAxisPanel& chart, int width, int height, const std::string& separators);

    std::optional<TFrame> after_; ///< the chart as the last reset left it
};
