#pragma once

#include "Chart.h"
#include "Colors.h"

#include <QImage>

#include <memory>

/// A chart set up like the review window's plot: 770 x 513, 2D, margins 0, silver, an unfilled wall,
/// one red line series with 3 x 3 circle markers in insertion order.
struct ReviewChart {
    std::unique_ptr<TChart> chart = std::make_unique<TChart>();
    TLineSeries* series = nullptr;

    ReviewChart()
    {
        TChart& c = *chart;
        c.resize(770, 513);
        c.View3D = false;
        c.SetColor(clSilver);
        c.MarginLeft = c.MarginTop = c.MarginRight = c.MarginBottom = 0;
        c.BackWall.Brush = {clWhite, TBrushStyle::bsClear};
        c.LegendVisible = false;
        c.TitleVisible = false;
        c.PrintProportional = false;
        series = &c.AddLineSeries();
        series->SetSeriesColor(clRed);
        series->Pointer().SetVisible(true);
        series->Pointer().SetStyle(TSeriesPointerStyle::psCircle);
        series->Pointer().SetHorizSize(3);
        series->Pointer().SetVertSize(3);
        series->Pointer().SetInflateMargins(true);
        series->XValues().Order = TChartListOrder::loNone;
        series->YValues().Order = TChartListOrder::loNone;
    }

    /// A closed profile-like outline through (0, 0) and (1, 0).
    void AddProfile()
    {
        const double pts[][2] = {{1, 0}, {0.5, 0.06}, {0.1, 0.04}, {0, 0}, {0.1, -0.03}, {0.5, -0.04}, {1, 0}};
        for (const auto& p : pts)
            series->AddPoint(p[0], p[1]);
    }

    QImage Render()
    {
        QImage image(770, 513, QImage::Format_RGB32);
        chart->DrawChart(image);
        return image;
    }
};

inline TColor PixelColor(const QImage& image, int x, int y)
{
    return FromQColor(QColor(image.pixel(x, y)));
}
