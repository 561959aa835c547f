#pragma once

#include "AxisLabels.h"
#include "ChartProperty.h"
#include "ChartTypes.h"

#include <string>
#include <vector>

class TCustomAxisPanel;
class TChartCanvas;
class TTextMeasure;

enum class TAxisKind { Bottom, Top, Left, Right, Depth };
enum class TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };

/// One axis of the chart: maps values of one direction to pixels and draws its labels, line, ticks and grid.
class TChartAxis {
public:
    TChartAxis(TCustomAxisPanel& chart, TAxisKind kind);
    TChartAxis(const TChartAxis&) = delete;
    TChartAxis& operator=(const TChartAxis&) = delete;

    TAxisKind Kind() const { return kind_; }
    bool Horizontal() const { return kind_ == TAxisKind::Bottom || kind_ == TAxisKind::Top; }
    /// Top and right axes stand on the far side of the plot.
    bool OtherSide() const { return kind_ == TAxisKind::Top || kind_ == TAxisKind::Right; }

    // Range ---------------------------------------------------------------------------------------
    bool Automatic() const { return automatic_; }
    void SetAutomatic(bool v);
    bool AutomaticMinimum() const { return automaticMinimum_; }
    void SetAutomaticMinimum(bool v);
    bool AutomaticMaximum() const { return automaticMaximum_; }
    void SetAutomaticMaximum(bool v);
    double Minimum() const { return minimum_; }
    /// Throws AxisException when above Maximum.
    void SetMinimum(double v);
    double Maximum() const { return maximum_; }
    /// Throws AxisException when below Minimum.
    void SetMaximum(double v);
    /// Fixes both ends (automatic flags off), in either order, at least 1e-10 apart.
    void SetRange(double a, double b);

    // Settings: every change asks the chart for a repaint -------------------------------------------
    template <class T>
    using Property = TChartProperty<T, TChartAxis>;
    Property<double> Increment{this, 0.0};
    Property<bool> Inverted{this, false};
    Property<bool> Visible{this, true};
    Property<bool> Labels{this, true};
    Property<TChartFont> LabelsFont{this, {}};
    Property<int> LabelsSeparation{this, 10};
    Property<bool> LabelsOnAxis{this, true};
    Property<TAxisLabelStyle> LabelStyle{this, TAxisLabelStyle::talAuto};
    Property<int> LabelsSize{this, 0};
    Property<bool> RoundFirstLabel{this, true};
    Property<bool> ExactDateTime{this, true};
    Property<bool> TickOnLabelsOnly{this, true};
    Property<TChartPen> AxisPen{this, {true, chartcolor::Black, 2, TPenStyle::psSolid}};
    Property<TChartPen> Ticks{this, {true, chartcolor::Gray, 1, TPenStyle::psSolid}};
    Property<int> TickLength{this, 4};
    Property<TChartPen> TicksInner{this, {true, chartcolor::Gray, 1, TPenStyle::psSolid}};
    Property<int> TickInnerLength{this, 0};
    Property<TChartPen> MinorTicks{this, {true, chartcolor::Gray, 1, TPenStyle::psSolid}};
    Property<int> MinorTickLength{this, 2};
    Property<int> MinorTickCount{this, 3};
    Property<TChartPen> Grid{this, {true, chartcolor::Gray, 1, TPenStyle::psDot}};
    Property<bool> GridCentered{this, false};
    Property<double> StartPosition{this, 0.0};
    Property<double> EndPosition{this, 100.0};
    Property<double> PositionPercent{this, 0.0};
    /// Called by the settings above.
    void PropertyChanged() { changed(); }

    // Working values of the current drawing ---------------------------------------------------------
    double RangeMinimum = 0.0;
    double RangeMaximum = 0.0;
    double RangeSpan = 0.0;
    int StartPixel = 0;
    int EndPixel = 0;
    int AxisLength = 0;
    int CenterPixel = 0;
    int AxisPosition = 0;
    int LabelsPosition = 0;
    static constexpr std::size_t MaxTickPositions = 2000;
    std::vector<int> TickPositions;

    /// Whether the chart draws this axis in the current configuration.
    bool IsShown() const;

    /// The data range of the series on this axis (0 without any).
    double DataMinimum() const;
    double DataMaximum() const;
    /// Fills automatic ends from the data and sets the Range values.
    void AdjustRange();
    /// Start and end pixels from the plot rectangle.
    void CalcPixelPositions(const TChartRect& plot);
    /// Widens the range so that the series' markers at the data extremes stay inside the plot.
    void ApplyPixelMargins(const TChartRect& plot);

    int ValueToPixel(double value) const;
    double PixelToValue(int pixel) const;

    int MaxLabelCount(TTextMeasure& measure) const;
    double LabelIncrement(int maxLabelCount) const;
    /// The label step for the current range and axis length.
    double CalcIncrement(TTextMeasure& measure) const;
    std::string LabelText(double value) const;
    /// The label values of the current range with step `increment`, from the highest down.
    std::vector<double> LabelValues(double increment) const;

    /// Takes the room for labels and ticks off the side of `rect` the axis stands on.
    void CalcRoom(TChartRect& rect, TChartCanvas& canvas);
    void Draw(TChartCanvas& canvas);

    /// Whether (x, y) lies in the band from the axis line to its labels, widened by 3 pixels.
    bool Clicked(int x, int y) const;

private:
    void changed();
    void addTick(int p);
    void drawLabel(TChartCanvas& canvas, double value, int fontHeight);
    void drawTick(TChartCanvas& canvas, int p, int offset, int length);
    void drawMinorTicks(TChartCanvas& canvas);

    TCustomAxisPanel& chart_;
    TAxisKind kind_;
    bool automatic_ = true;
    bool automaticMinimum_ = true;
    bool automaticMaximum_ = true;
    double minimum_ = 0.0;
    double maximum_ = 0.0;
};
