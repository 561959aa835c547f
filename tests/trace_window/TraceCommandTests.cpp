// "Kontur automatisch verfolgen" through the real window: the menu, Ctrl+T, one undo step, the stop.
#include "../app_view/ViewFixture.h"
#include "OutlineDrawing.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include <cstring>

namespace {

/// A drawing of NACA 2412 saved as a 24-bit BMP; the upper trailing edge in `edge`.
QString SaveDrawing(const QString& path, drawing::TPoint& edge)
{
    drawing::TSection s;
    s.chord = 600;
    const drawing::TDrawing d = drawing::Draw(s);
    QImage image(d.sheet.Width, d.sheet.Height, QImage::Format_RGB888);
    for (int y = 0; y < d.sheet.Height; ++y)
        std::memcpy(image.scanLine(y), d.sheet.Rgb.data() + static_cast<std::size_t>(y) * d.sheet.Width * 3,
                    static_cast<std::size_t>(d.sheet.Width) * 3);
    EXPECT_TRUE(image.save(path, "BMP"));
    edge = d.upperEdge;
    return path;
}

TEST_F(MainView, TracingIsTheLastEditItemOnCtrlTAndOneUndoableStep)
{
    const QList<QAction*> items = form->Edit1->actions();
    ASSERT_GE(items.size(), 3);
    EXPECT_EQ(items.back(), form->Konturautomatischverfolgen1);
    EXPECT_EQ(items.back()->text(), QStringLiteral("Kontur automatisch verfolgen"));
    EXPECT_TRUE(items[items.size() - 2]->isSeparator());
    EXPECT_EQ(items[items.size() - 3], form->SttzpunkteaufdieLiniesetzen1);

    drawing::TPoint edge;
    Load(SaveDrawing(Path(QStringLiteral("naca.bmp")), edge));
    ContourPoints = {{edge.x, edge.y, 0}};
    EditMode = AppendAtEnd;
    ProfileDirty = false;
    ProfileSaved = true;
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form->Client, Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_GT(ContourPoints.size(), 150u);
    EXPECT_EQ(EditMode, Idle);
    EXPECT_TRUE(ProfileDirty);
    EXPECT_FALSE(ProfileSaved);

    form->Timer1Timer();
    form->Rckgngig1->trigger();
    ASSERT_EQ(ContourPoints.size(), 1u);
    EXPECT_EQ(ContourPoints[0].x, edge.x);
}

TEST_F(MainView, WhereTracingStopsItSaysWhyAndCentresThePlace)
{
    // Without a picture, and on a blank one: a sentence, the contour and its history as they were.
    ContourPoints = {{200.5, 150.5, 0}};
    form->Konturautomatischverfolgen1->trigger();
    ASSERT_EQ(services.errors.size(), 1);

    QImage blank(400, 300, QImage::Format_RGB32);
    blank.fill(qRgb(240, 240, 236));
    ASSERT_TRUE(blank.save(Path(QStringLiteral("blank.bmp")), "BMP"));
    Load(Path(QStringLiteral("blank.bmp")));
    ContourPoints = {{300.5, 250.5, 0}};
    const std::size_t steps = ContourHistory.UndoSteps();
    form->Konturautomatischverfolgen1->trigger();
    ASSERT_EQ(services.errors.size(), 2);
    EXPECT_TRUE(services.errors[1].startsWith(QStringLiteral("Kontur nicht verfolgt: Am letzten Punkt (300; 250)")))
        << services.errors[1].toStdString();
    EXPECT_EQ(ContourPoints.size(), 1u);
    EXPECT_EQ(ContourHistory.UndoSteps(), steps);
    // The place is in the middle of the client area now.
    const TClientPoint c = ViewToClient(View, 300.5, 250.5);
    EXPECT_NEAR(c.x, form->Client->width() / 2, 1);
    EXPECT_NEAR(c.y, form->Client->height() / 2, 1);
}

} // namespace
