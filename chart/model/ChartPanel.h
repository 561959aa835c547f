#pragma once

#include "AxisLabels.h"
#include "ChartAxis.h"
#include "ChartProperty.h"
#include "ChartSeries.h"
#include "ChartTypes.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

class TChartCanvas;

enum class TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };
enum class TPanelBevel { bvNone, bvLowered, bvRaised };
enum class TChartMouseButton { mbLeft, mbRight, mbMiddle };

/// A drag with the mouse: the press point and the last point, in client pixels.
struct TZoomPanningRecord {
    bool Active = false;
    int X0 = 0;
    int Y0 = 0;
    int X1 = 0;
    int Y1 = 0;
    void Activate(int x, int y)
    {
        Active = true;
        X0 = X1 = x;
        Y0 = Y1 = y;
    }
};

class TCustomAxisPanel;

/// The back wall: the outline (and, with a colour or brush of its own, the fill) of the plot rectangle.
class TChartWall {
public:
    explicit TChartWall(TCustomAxisPanel& chart) : chart_(chart) {}
    TChartWall(const TChartWall&) = delete;
    TChartWall& operator=(const TChartWall&) = delete;

    TChartProperty<TChartPen, TChartWall> Pen{this, {}};
    TChartProperty<TChartBrush, TChartWall> Brush{this, {chartcolor::White, TBrushStyle::bsClear}};
    /// clUseSeriesColor: no colour of its own.
    TChartProperty<TColor, TChartWall> Color{this, clUseSeriesColor};
    void PropertyChanged();

private:
    TCustomAxisPanel& chart_;
};

/// The toolkit-free chart: axes, series, layout, drawing onto a TChartCanvas, zoom and pan.
/// A widget derives from it and supplies the repaint requests and the on-screen zoom rectangle.
class TCustomAxisPanel {
public:
    using TNotify = std::function<void(TCustomAxisPanel& sender)>;

    TCustomAxisPanel();
    virtual ~TCustomAxisPanel();
    TCustomAxisPanel(const TCustomAxisPanel&) = delete;
    TCustomAxisPanel& operator=(const TCustomAxisPanel&) = delete;

    // Axes, in list order bottom, top, left, right, depth.
    TChartAxis& BottomAxis() { return *axes_[0]; }
    TChartAxis& TopAxis() { return *axes_[1]; }
    TChartAxis& LeftAxis() { return *axes_[2]; }
    TChartAxis& RightAxis() { return *axes_[3]; }
    TChartAxis& DepthAxis() { return *axes_[4]; }
    int AxisCount() const { return static_cast<int>(axes_.size()); }
    TChartAxis& Axis(int i) { return *axes_[static_cast<std::size_t>(i)]; }

    // Series, in drawing order.
    TChartSeries& AddSeries(std::unique_ptr<TChartSeries> series);
    TLineSeries& AddLineSeries();
    int SeriesCount() const { return static_cast<int>(series_.size()); }
    TChartSeries& Series(int i) { return *series_.at(static_cast<std::size_t>(i)); }
    const TChartSeries& Series(int i) const { return *series_.at(static_cast<std::size_t>(i)); }

    // Appearance: every change asks for a repaint.
    template <class T>
    using Property = TChartProperty<T, TCustomAxisPanel>;
    Property<bool> View3D{this, true}; ///< only the two-dimensional drawing exists
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    Property<int> MarginLeft{this, 3};
    Property<int> MarginTop{this, 4};
    Property<int> MarginRight{this, 3};
    Property<int> MarginBottom{this, 4};
    Property<TPanelBevel> BevelOuter{this, TPanelBevel::bvRaised};
    Property<TPanelBevel> BevelInner{this, TPanelBevel::bvNone};
    Property<int> BevelWidth{this, 1};
    Property<int> BorderWidth{this, 0};
    TChartWall BackWall{*this};
    Property<bool> LegendVisible{this, true}; ///< a legend is never drawn
    Property<bool> TitleVisible{this, true};  ///< the title has no text and takes no room
    Property<bool> ClipPoints{this, true};
    Property<bool> AxisVisible{this, true};
    Property<bool> PrintProportional{this, true};
    /// Called by the appearance properties, the wall's and the axes'.
    void PropertyChanged() { Invalidate(); }
    /// Separators for the label texts, refreshed by the widget before each drawing (no repaint: they are
    /// read from the locale at drawing time).
    TNumberSeparators Separators;
    int Tag = 0;

    // Working state of the last layout.
    TChartRect PanelBounds;
    TChartRect PlotRect;
    int PlotWidth() const { return PlotRect.Width(); }
    int PlotHeight() const { return PlotRect.Height(); }

    TNotify OnBeforeDrawAxes;
    TNotify OnBeforeDrawSeries;
    TNotify OnAfterDraw;
    TNotify OnZoom;
    TNotify OnUndoZoom;
    TNotify OnScroll;

    /// Repaint request: marks the drawing out of date. The widget also schedules a paint.
    virtual void Invalidate() { Dirty = true; }
    /// Immediate repaint; without a window there is nothing to paint.
    virtual void Repaint() { Invalidate(); }
    bool Dirty = true;

    /// Panel bounds and plot rectangle of a control of this size, before axes take their room.
    void CalcPlotRect(int clientWidth, int clientHeight);
    /// One complete drawing of a control of this size onto the canvas; every drawing starts from scratch.
    void DrawChart(TChartCanvas& canvas, int clientWidth, int clientHeight);

    // Zoom and scroll.
    bool AllowZoom = true;
    TPanningMode AllowPanning = TPanningMode::pmBoth;
    bool AnimatedZoom = false;
    int AnimatedZoomSteps = 8;
    TZoomPanningRecord ZoomDrag;
    TZoomPanningRecord PanDrag;
    bool IsZoomed = false;
    bool ScalesRestored = true;

    void ZoomByPercent(double percent);
    /// Zooms to the values under the zoom drag's rectangle.
    void ZoomToRect();
    void ResetZoom();

    void ChartMouseDown(TChartMouseButton button, int x, int y);
    void ChartMouseMove(int x, int y);
    void ChartMouseUp(TChartMouseButton button, int x, int y);
    void ChartMouseLeave();
    /// Scrolls the vertical axes by 3 % of their span: down adds, up subtracts.
    void ChartMouseWheel(bool up);

    /// The zoom rectangle in the inverting pen; drawing it twice restores every pixel.
    void DrawZoomRectangle(TChartCanvas& canvas);

protected:
    /// Draws the zoom rectangle on the window at once (the widget overrides this).
    virtual void DrawZoomRectangleOnWindow() {}
    /// Fills the canvas' font measurement into the layout before the axes take their room.
    void CalcAxisRoom(TChartCanvas& canvas);

private:
    struct TSavedScale {
        bool Automatic, AutomaticMinimum, AutomaticMaximum;
        double Minimum, Maximum;
    };

    void normalisePlotRect();
    void calcAxisPositions();
    void drawPanel(TChartCanvas& canvas);
    void drawBevel(TChartCanvas& canvas, TChartRect& r, TPanelBevel bevel, int width);
    void drawFrame(TChartCanvas& canvas, TChartRect& r, TColor topLeft, TColor bottomRight, int width);
    void drawBackWall(TChartCanvas& canvas);
    void drawAxes(TChartCanvas& canvas);
    void drawSeries(TChartCanvas& canvas);
    void saveScales();
    void zoomCore(const std::array<double, 4>& minima, const std::array<double, 4>& maxima);
    bool panAxes(bool horizontal, int a, int b);
    /// The four side axes in the order zooming treats them: left, right, top, bottom.
    std::array<TChartAxis*, 4> zoomOrder();
    bool clickedPart(int x, int y);

    std::vector<std::unique_ptr<TChartAxis>> axes_;
    std::vector<std::unique_ptr<TChartSeries>> series_;
    std::array<TSavedScale, 4> savedScales_{}; ///< top, bottom, left, right
    TColor color_ = chartcolor::BtnFace;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
};
