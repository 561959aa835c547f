// The timer's repaint is left out while nothing it would draw has changed, and only then.
#include "ViewFixture.h"

#include <QApplication>
#include <QPalette>
#include <QPixmap>

#include <functional>

namespace {

/// Counts the paint events the client area receives.
class PaintCounter final : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

class IdleRepaint : public MainView {
protected:
    void SetUp() override
    {
        MainView::SetUp();
        QCoreApplication::processEvents();
        form->Client->installEventFilter(&counter);
        ContourPoints = {{10, 10, 0}, {60, 20, 0}, {90, 70, 0}};
        Hit.HotPointIndex = -1;
        Hit.HotSegmentIndex = -1;
        services.cursor = form->ClientRectOnScreen().topLeft() + QPoint(300, 200);
        View.CursorPos = {300, 200};
    }

    /// The number of paints one timer tick caused.
    int Tick()
    {
        const int before = counter.paints;
        form->Timer1Timer();
        return counter.paints - before;
    }

    PaintCounter counter;
};

TEST_F(IdleRepaint, IdleTicksPaintNothingAfterTheFirst)
{
    EXPECT_EQ(Tick(), 1) << "the contour set in the fixture is not on the screen yet";
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Tick(), 0) << "tick " << i;
}

TEST_F(IdleRepaint, EveryInputOfThePaintBringsTheRepaintBack)
{
    struct Row {
        const char* name;
        std::function<void()> change;
    };
    const Row rows[] = {
        {"a point moved", [] { ContourPoints[1].x += 0.25; }},
        {"a point appended", [] { ContourPoints.push_back({5, 5, 0}); }},
        {"a point deleted", [] { ContourPoints.pop_back(); }},
        {"the contour cleared and refilled alike", [] { ContourPoints = {{1, 1, 0}, {2, 2, 0}}; }},
        {"the view composed again", [this] { form->RenderView(); }},
        {"the view image written in place", [] { ViewImage->setPixel(3, 3, 0xFF123456u); }},
        {"the view image replaced", [] { *ViewImage = QImage(40, 30, QImage::Format_RGB32); }},
        {"the view origin", [] { View.ViewOriginY += 1; }},
        {"the zoom factor", [] { View.ZoomFactor = 1.157625; }},
        {"the point radius", [] { View.PointRadius += 1; }},
        {"the cursor position", [] { View.CursorPos.x += 1; }},
        {"the hot point", [] { Hit.HotPointIndex = 1; }},
        {"no hot point", [] { Hit.HotPointIndex = -1; }},
        {"the hot segment", [] { Hit.HotSegmentIndex = 0; }},
        {"the edit mode", [] { EditMode = AppendAtEnd; }},
        {"the cursor dot hidden: cursor left the client", [this] { services.cursor = QPoint(-500, -500); }},
        {"the cursor dot shown again", [this] { services.cursor = form->ClientRectOnScreen().topLeft() + QPoint(5, 5); }},
        {"the client resized", [this] { form->resize(form->width() - 30, form->height() - 20); }},
        {"the form colour", [] {
             QPalette palette = QGuiApplication::palette();
             palette.setColor(QPalette::Button, QColor(10, 200, 30));
             QApplication::setPalette(palette);
         }},
        {"a paint of part of the client", [this] {
             QPixmap part(10, 10);
             form->Client->render(&part, QPoint(), QRegion(0, 0, 10, 10));
         }},
    };
    const QPalette original = QGuiApplication::palette();
    Tick();
    for (const Row& row : rows) {
        ASSERT_EQ(Tick(), 0) << "idle before: " << row.name;
        row.change();
        EXPECT_EQ(Tick(), 1) << row.name;
        QCoreApplication::processEvents(); // the platform's own paints after a resize or a new palette
    }
    QApplication::setPalette(original);
}

TEST_F(IdleRepaint, TheClientsPlaceOnScreenFollowsTheWindowThoughTheTickRemembersIt)
{
    for (const QPoint step : {QPoint(0, 0), QPoint(37, 21), QPoint(-50, 8)}) {
        form->move(form->pos() + step);
        QCoreApplication::processEvents();
        EXPECT_EQ(form->ClientRectOnScreen(), QRect(form->Client->mapToGlobal(QPoint(0, 0)), form->Client->size()));
    }
}

} // namespace
