// A contour of 100,000 points, far beyond what anybody clicks, through the hit test of a mouse
// move, the recompute the main window's tick triggers, the file text, the plot and the save.
#include "Chart.h"
#include "FakeServices.h"
#include "Unit1.h"
#include "Unit2.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <string>

namespace {

constexpr int Count = 100000;

class LargeContour : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetUnit1State();
        ProfileCoords.clear();
        form1 = std::make_unique<TForm1>();
        form1->FormCreate();
        form1->Timer1->stop();
        form2 = std::make_unique<TForm2>();
        form2->FormCreate();
        form2->Timer1->stop();
        // Wired as at start-up.
        form1->ReviewWindow = form2.get();
        form1->ReviewRecomputeButton = form2->Button1;
        form2->Link.Contour = &ContourPoints;
        form2->Link.ProfileSaved = &ProfileSaved;
        form2->Link.ViewImageHeight = [] { return ViewImage ? ViewImage->height() : 0; };
        form1->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form1.get()));
    }

    void TearDown() override
    {
        form2.reset();
        form1.reset();
        ResetUnit1State();
        ProfileCoords.clear();
    }

    FakeServices services;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
};

// Rows of 1000 points 20 pixels apart, alternately left to right and back, so that only one point
// and two segments lie near any point of the grid.
TEST_F(LargeContour, MouseMoveFindsTheOnePointAndFirstSegmentUnderTheCursor)
{
    ContourPoints.clear();
    for (int i = 0; i < Count; ++i) {
        const int row = i / 1000;
        const int col = row % 2 == 0 ? i % 1000 : 999 - i % 1000;
        ContourPoints.push_back({col * 20.0, row * 20.0, 0.0});
    }
    struct Row {
        const char* name;
        QPoint client;
        int point;
        int segment;
    };
    const Row rows[] = {
        {"on a point of a leftward row", {200, 100}, 5989, 5988},
        {"between two points", {210, 100}, -1, 5988},
        {"on a point of a rightward row", {200, 80}, 4010, 4009},
        {"on the vertical link of two rows", {0, 110}, -1, 5999},
        {"between rows", {210, 90}, -1, -1},
    };
    for (const Row& row : rows) {
        services.cursor = form1->Client->mapToGlobal(row.client);
        form1->FormMouseMove(Qt::NoButton, row.client.x(), row.client.y());
        EXPECT_EQ(Hit.HotPointIndex, row.point) << row.name;
        EXPECT_EQ(Hit.HotSegmentIndex, row.segment) << row.name;
    }
    EXPECT_EQ(ContourPoints.size(), std::size_t(Count)) << "a move in the idle state edits nothing";
    EXPECT_TRUE(services.errors.isEmpty());
}

// An ellipse clicked from the trailing edge over the upper side to the nose and back: the tick
// recomputes it, the text has a line per point and the closing one, the plot holds every point,
// and the saved file has the text's lines with CR LF.
TEST_F(LargeContour, TickRecomputesTextPlotAndSavesAHundredThousandPoints)
{
    ContourPoints.clear();
    for (int i = 0; i < Count; ++i) {
        const double t = 2 * std::numbers::pi * i / Count;
        ContourPoints.push_back({500 + 400 * std::cos(t), 300 - 40 * std::sin(t), 0.0});
    }
    ProfileDirty = true;
    form1->Timer1Timer();
    EXPECT_FALSE(ProfileDirty);
    ASSERT_TRUE(services.errors.isEmpty()) << services.errors.join('\n').toStdString();

    ASSERT_EQ(ProfileCoords.size(), std::size_t(Count) + 1);
    EXPECT_EQ(ProfileCoords.front().x, 1.0);
    EXPECT_EQ(ProfileCoords.back().x, 1.0);
    EXPECT_EQ(ProfileCoords.back().y, 0.0);
    // Normalised: the nose (the point clicked half way) at the origin, the chord 1, thickness 0.1.
    EXPECT_NEAR(ProfileCoords[Count / 2].x, 0.0, 1e-9);
    EXPECT_NEAR(ProfileCoords[Count / 2].y, 0.0, 1e-9);
    EXPECT_NEAR(ProfileCoords[Count / 4].y, 0.05, 1e-6) << "the upper side comes first";

    const QString text = form2->Memo1->toPlainText();
    const QStringList lines = text.split('\n');
    ASSERT_EQ(lines.size(), Count + 2);
    EXPECT_EQ(lines.front(), QStringLiteral("Test-Zovori"));
    EXPECT_EQ(lines[1], QStringLiteral("1 0"));
    EXPECT_EQ(lines.back(), QStringLiteral("1 0"));
    for (int i = 1; i < lines.size(); ++i) {
        const std::string line = lines[i].toStdString();
        char* rest = nullptr;
        const double x = std::strtod(line.c_str(), &rest);
        const double y = std::strtod(rest, &rest);
        ASSERT_TRUE(*rest == '\0' && std::isfinite(x) && std::isfinite(y)) << "line " << i << ": " << line;
        ASSERT_TRUE(x >= -1e-9 && x <= 1.0 && std::fabs(y) <= 0.05 + 1e-9) << "line " << i << ": " << line;
    }

    ASSERT_EQ(form2->Series1->Count(), Count + 1);
    form2->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form2.get()));
    form2->Chart1->Repaint();
    EXPECT_LE(form2->Chart1->BottomAxis().Minimum(), 0.0);
    EXPECT_GE(form2->Chart1->BottomAxis().Maximum(), 1.0);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    services.saveAnswer = dir.filePath(QStringLiteral("gross.dat"));
    ProfileSaved = false;
    form2->Button2->click();
    ASSERT_TRUE(services.errors.isEmpty()) << services.errors.join('\n').toStdString();
    EXPECT_TRUE(ProfileSaved);
    QFile file(*services.saveAnswer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("\r\n"), Count + 2);
    EXPECT_TRUE(bytes.endsWith("\r\n1 0\r\n"));
    // Every line break of the text becomes CR LF, and the last line gets one too.
    EXPECT_EQ(bytes.size(), text.size() + (Count + 1) + 2);
}

} // namespace
