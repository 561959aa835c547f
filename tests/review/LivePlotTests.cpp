// The plot follows the main window's contour: an edit there resets the plot on the main window's next tick.
#include "Chart.h"
#include "FakeServices.h"
#include "PictureProfile.h"
#include "Unit1.h"
#include "Unit2.h"

#include <QCoreApplication>
#include <QAction>
#include <QImage>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>

namespace {

class LivePlot : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetUnit1State();
        ProfileCoords.clear();
        main = std::make_unique<TForm1>();
        main->FormCreate();
        main->Timer1->stop();
        review = std::make_unique<TForm2>();
        review->FormCreate();
        review->Timer1->stop();
        // Wired as at start-up.
        main->ReviewWindow = review.get();
        main->ReviewRecomputeButton = review->Button1;
        review->Link.Contour = &ContourPoints;
        review->Link.ProfileSaved = &ProfileSaved;
        review->Link.ViewImageHeight = [] { return ViewImage ? ViewImage->height() : 0; };
        main->show();
        review->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(review.get()));
        QCoreApplication::processEvents();
    }

    void TearDown() override
    {
        review.reset();
        main.reset();
        ResetUnit1State();
    }

    TChart& chart() const { return *review->Chart1; }

    void WheelUpOverThePlot()
    {
        const QPoint local(380, 250);
        services.cursor = chart().mapToGlobal(local);
        review->Timer1Timer();
        QWheelEvent wheel(QPointF(local), QPointF(services.cursor), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(review->Chart1, &wheel);
    }

    void RightClickInMain(QPoint p)
    {
        services.cursor = main->Client->mapToGlobal(p);
        QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(services.cursor), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(main->Client, &move);
        QTest::mouseClick(main->Client, Qt::RightButton, {}, p);
    }

    FakeServices services;
    std::unique_ptr<TForm1> main;
    std::unique_ptr<TForm2> review;
};

TEST_F(LivePlot, ContourEditResetsAZoomedPlotOnTheNextTick)
{
    ContourPoints = PictureProfile();
    ProfileDirty = true;
    main->Timer1Timer();
    ASSERT_EQ(review->Series1->Count(), int(ContourPoints.size()) + 1);
    EXPECT_NEAR(chart().BottomAxis().Minimum(), -0.1, 1e-9);
    EXPECT_NEAR(chart().BottomAxis().Maximum(), 1.1, 1e-9);

    WheelUpOverThePlot();
    WheelUpOverThePlot();
    ASSERT_LT(chart().BottomAxis().Maximum() - chart().BottomAxis().Minimum(), 1.0) << "zoomed in";

    // Deleting a point of the upper side; the plot waits for the tick.
    const TContourPoint victim = ContourPoints[3];
    RightClickInMain(QPoint(int(victim.x), int(victim.y)));
    ASSERT_EQ(ContourPoints.size(), PictureProfile().size() - 1);
    ASSERT_TRUE(ProfileDirty);
    EXPECT_LT(chart().BottomAxis().Maximum(), 1.0);

    main->Timer1Timer();
    EXPECT_FALSE(ProfileDirty);
    EXPECT_EQ(review->Series1->Count(), int(ContourPoints.size()) + 1);
    EXPECT_NEAR(chart().BottomAxis().Minimum(), -0.1, 1e-9);
    EXPECT_NEAR(chart().BottomAxis().Maximum(), 1.1, 1e-9);
    EXPECT_EQ(chart().Tag, 0);
    const double ySpan = chart().LeftAxis().Maximum() - chart().LeftAxis().Minimum();
    EXPECT_NEAR(ySpan / 1.2, double(chart().PlotHeight()) / chart().PlotWidth(), 0.01) << "equal scale";
}

TEST_F(LivePlot, HiddenReviewWindowFollowsTooAndShowsTheResetPlot)
{
    review->hide();
    ContourPoints = PictureProfile();
    ProfileDirty = true;
    main->Timer1Timer();
    EXPECT_EQ(review->Series1->Count(), int(ContourPoints.size()) + 1);
    EXPECT_TRUE(review->Memo1->toPlainText().contains(QStringLiteral("\n1 0\n")));
    EXPECT_EQ(chart().Tag, 2) << "nothing drawn while hidden";

    main->PolygonzurProfildateiweiterbearbeiten1->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(review.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return chart().Tag == 0; }, 5000)) << "the pending rescale ran";
    EXPECT_NEAR(chart().BottomAxis().Minimum(), -0.1, 1e-9);
    EXPECT_NEAR(chart().BottomAxis().Maximum(), 1.1, 1e-9);
}

} // namespace
