// The fast paint of the main view against the reference drawing through the canvas, pixel for pixel.
#include "Canvas.h"
#include "MainViewPaint.h"
#include "ViewFixture.h"

#include <cmath>

namespace {

class FastPaint : public MainView {
protected:
    /// An image of w x h client pixels at the window's resolution, filled with a colour no shape has.
    QImage Target(int w, int h) const
    {
        const qreal ratio = form->Client->devicePixelRatioF();
        QImage image(static_cast<int>(w * ratio), static_cast<int>(h * ratio), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(QColor(1, 2, 3));
        return image;
    }

    /// The first pixel where the fast paint differs from the reference, or "" when none does.
    std::string Compare(int w, int h)
    {
        QImage reference = Target(w, h);
        {
            Canvas canvas(&reference);
            PaintMainView(*form, canvas);
        }
        QImage fast = Target(w, h);
        painter.Paint(*form, fast);
        for (int y = 0; y < fast.height(); ++y)
            for (int x = 0; x < fast.width(); ++x)
                if (fast.pixel(x, y) != reference.pixel(x, y))
                    return "device pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
        return {};
    }

    TMainViewPainter painter;
};

// Every radius and fill, the dot wholly inside and cut by each edge and corner of the target.
TEST_F(FastPaint, DotsMatchTheEllipsesInEveryFillAndPosition)
{
    constexpr int W = 40, H = 30;
    struct Fill {
        const char* name;
        bool contour; ///< a contour dot (red outline) or the cursor dot (black outline)
        bool hot;     ///< contour: the hot point, green; cursor: a segment hot, yellow
    };
    const Fill fills[] = {{"form colour", true, false}, {"green", true, true}, {"cursor red", false, false},
                          {"cursor yellow", false, true}};
    int cases = 0;
    for (int r = 4; r <= 12; ++r) {
        View.PointRadius = r;
        std::vector<TClientPoint> at;
        for (int x = -r - 2; x <= W + r + 1; ++x)
            at.push_back({x, H / 2});
        for (int y = -r - 2; y <= H + r + 1; ++y)
            at.push_back({W / 2, y});
        for (const TClientPoint corner : {TClientPoint{1, 2}, {W - 2, 1}, {2, H - 1}, {W - 1, H - 3}})
            at.push_back(corner);
        for (const Fill& fill : fills) {
            for (const TClientPoint c : at) {
                if (fill.contour) {
                    ContourPoints = {{double(c.x), double(c.y), 0}};
                    Hit.HotPointIndex = fill.hot ? 0 : -1;
                    CursorDotVisible = false;
                } else {
                    ContourPoints.clear();
                    Hit.HotSegmentIndex = fill.hot ? 0 : -1;
                    View.CursorPos = c;
                    CursorDotVisible = true;
                }
                const std::string d = Compare(W, H);
                ASSERT_EQ(d, "") << "radius " << r << ", " << fill.name << ", centre (" << c.x << ", " << c.y << ")";
                ++cases;
            }
        }
    }
    EXPECT_GT(cases, 4000);
}

// A whole view: overlapping and repeated dots, segments in all directions and far beyond the
// client, the hot point, the cursor dot and both rubber bands.
TEST_F(FastPaint, WholeViewMatchesTheReference)
{
    form->RenderView();
    ContourPoints.clear();
    std::uint32_t seed = 7;
    const auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>(seed >> 8) % range;
    };
    for (int i = 0; i < 1500; ++i) // long segments every way, many across the edges
        ContourPoints.push_back({next(1600) - 200.5, next(1300) - 200.0, 0});
    for (int i = 0; i < 1500; ++i) { // a dense arc whose dots pile up
        const double a = i * 0.0047;
        ContourPoints.push_back({500 + 420 * std::cos(a) * (1 + 0.2 * std::sin(7 * a)), 380 + 260 * std::sin(a), 0});
    }
    ContourPoints.push_back(ContourPoints.back()); // the same dot twice
    ContourPoints.push_back({-3e6, 5e5, 0});       // a segment from far away across the client
    ContourPoints.push_back({40, 8000, 0});
    ContourPoints.push_back({1180, -7, 0});        // dots and segments cut by the edges
    ContourPoints.push_back({-2, 600, 0});
    Hit.HotPointIndex = 17;
    Hit.HotSegmentIndex = 3;
    View.CursorPos = {630, 410};
    View.PointRadius = 7;
    CursorDotVisible = true;
    const QSize client = form->Client->size();
    for (const TEditMode mode : {AppendAtEnd, InsertAtFront, Idle}) {
        EditMode = mode;
        EXPECT_EQ(Compare(client.width(), client.height()), "") << int(mode);
    }
    View.ZoomFactor = 0.25;
    View.ViewOriginX = 300;
    EXPECT_EQ(Compare(client.width(), client.height()), "") << "zoomed out: dots pile up";
}

} // namespace
