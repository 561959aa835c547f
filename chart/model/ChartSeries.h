#pragma once

#include "ChartProperty.h"
#include "ChartTypes.h"
#include "ChartValueList.h"
#include "SeriesPointer.h"

#include <functional>
#include <string>
#include <vector>

class TCustomAxisPanel;
class TChartAxis;
class TChartCanvas;

enum class THorizAxis { aTopAxis, aBottomAxis };
enum class TVertAxis { aLeftAxis, aRightAxis };

/// Room in pixels a series asks the automatic axes to keep free beside the data extremes.
struct TSeriesMargins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

/// A series: X and Y value lists with a colour and a label per point, drawn on one horizontal
/// and one vertical axis of its chart.
class TChartSeries {
public:
    TChartSeries();
    virtual ~TChartSeries() = default;
    TChartSeries(const TChartSeries&) = delete;
    TChartSeries& operator=(const TChartSeries&) = delete;

    TChartValueList& XValues() { return xValues_; }
    TChartValueList& YValues() { return yValues_; }
    const TChartValueList& XValues() const { return xValues_; }
    const TChartValueList& YValues() const { return yValues_; }

    TColor SeriesColor() const { return seriesColor_; }
    void SetSeriesColor(TColor c);
    template <class T>
    using Property = TChartProperty<T, TChartSeries>;
    Property<bool> ColorEachPoint{this, false};
    bool Active() const { return active_; }
    void SetActive(bool a);
    Property<THorizAxis> HorizAxis{this, THorizAxis::aBottomAxis};
    Property<TVertAxis> VertAxis{this, TVertAxis::aLeftAxis};
    /// Called by the properties: asks the chart for a repaint.
    void PropertyChanged() { Repaint(); }

    /// Answers false to refuse a point.
    std::function<bool(TChartSeries& sender)> OnBeforeAdd;
    std::function<void(TChartSeries& sender, int index)> OnAfterAdd;
    std::function<void(TChartSeries& sender)> OnClearValues;

    /// Adds a point where the X list's order puts it; the index of the new point, or -1 when refused.
    int AddPoint(double x, double y, const std::string& label = {}, TColor color = clUseSeriesColor);
    void ClearPoints();
    int Count() const { return xValues_.ValueCount(); }
    TColor PointColor(int index) const;
    void SetPointColor(int index, TColor color);
    const std::string& PointLabel(int index) const;

    TCustomAxisPanel* ParentChart() const { return chart_; }
    TChartAxis& GetHorizAxis() const;
    TChartAxis& GetVertAxis() const;
    bool UsesAxis(const TChartAxis& axis) const;

    int PointPixelX(int index) const;
    int PointPixelY(int index) const;
    /// Values under a pixel of the chart control; unbounded outside the plot.
    double PixelToXValue(int x) const;
    double PixelToYValue(int y) const;

    virtual TSeriesMargins PixelMargins() const { return {}; }
    /// Draws every point of one paint; the canvas is already clipped to the plot.
    virtual void DrawAllPoints(TChartCanvas& canvas) = 0;
    /// Whether (x, y) hits a drawn point of the series.
    virtual bool Clicked(int x, int y) const;

    /// Asks the chart for a repaint.
    void Repaint();

protected:
    friend class TCustomAxisPanel;
    TCustomAxisPanel* chart_ = nullptr;

private:
    TChartValueList xValues_{"X", TChartListOrder::loAscending};
    TChartValueList yValues_{"Y", TChartListOrder::loNone};
    std::vector<TColor> colors_;
    std::vector<std::string> labels_;
    TColor seriesColor_ = clUseSeriesColor;
    bool active_ = true;
};

/// A series with a line pen and a marker.
class TCustomSeries : public TChartSeries {
public:
    TCustomSeries();

    Property<TChartPen> LinePen{this, {}};
    TSeriesPointer& Pointer() { return pointer_; }
    const TSeriesPointer& Pointer() const { return pointer_; }
    Property<bool> Stairs{this, false};
    Property<bool> DrawArea{this, false};

    TSeriesMargins PixelMargins() const override;
    void DrawAllPoints(TChartCanvas& canvas) override;
    bool Clicked(int x, int y) const override;

protected:
    TSeriesPointer pointer_;
    int prevX_ = 0;
    int prevY_ = 0;
    TColor prevColor_ = clNone;
};

/// The line series: points joined by lines in index order, with an (initially hidden) marker.
class TLineSeries : public TCustomSeries {
public:
    TLineSeries();
};
