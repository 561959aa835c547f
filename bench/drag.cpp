// One drag step with the review window shown: a mouse move that drags a contour point, the main
// window's next tick (the review window's recompute, the main view's repaint), and the paint of
// the review window that shows the change.
#include "QtBenchMain.h"
#include "Application.h"
#include "Chart.h"
#include "Services.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"

#include <QApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

/// The real services but for the cursor, which the benchmark moves.
class MovingCursor final : public platform::Services {
public:
    QPoint cursor;
    bool KeyHeld(platform::Key) override { return false; }
    QPoint CursorPos() override { return cursor; }
    bool Confirm(QWidget*, const QString&) override { return false; }
    std::optional<QString> OpenFile(QWidget*, const platform::FileDialogRequest&) override { return {}; }
    std::optional<QString> SaveFile(QWidget*, const platform::FileDialogRequest&) override { return {}; }
    void ShowError(const QString&) override {}
    QString ProgramDirectory() override { return {}; }
};

/// A profile-like outline of n points, clicked from the upper trailing edge round the nose.
void Outline(int n)
{
    ContourPoints.clear();
    for (int i = 0; i < n; ++i) {
        const double a = 6.283185307179586 * (i + 0.5) / n;
        const double x = 0.5 + 0.5 * std::cos(a);
        const double t = 0.6 * (0.2969 * std::sqrt(x) - 0.126 * x - 0.3516 * x * x + 0.2843 * x * x * x - 0.1036 * x * x * x * x);
        ContourPoints.push_back({100.0 + 1000.0 * x, 420.0 - 1000.0 * (a < 3.141592653589793 ? t : -t), 0.0});
    }
}

// Argument: contour points. The dragged point lies on the upper side, away from nose and trailing edge.
void BM_DragStep(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    ResetUnit1State();
    CreateForm(Form1);
    CreateForm(Form2);
    CreateForm(Form3);
    Form1->ReviewWindow = Form2;
    Form1->ReviewRecomputeButton = Form2->Button1;
    Form1->HelpWindow = Form3;
    Form2->Link.Contour = &ContourPoints;
    Form2->Link.ProfileSaved = &ProfileSaved;
    Form2->Link.ViewImageHeight = [] { return ViewImage ? ViewImage->height() : 0; };
    Form1->show();
    Outline(n);
    ProfileDirty = true;
    Form1->PolygonzurProfildateiweiterbearbeiten1->trigger();
    Form1->Timer1->stop(); // the benchmark ticks itself
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    Form1->Timer1Timer();
    QApplication::processEvents();

    MovingCursor services;
    platform::Install(&services);
    const int dragged = n / 4;
    const QPoint origin = Form1->Client->mapToGlobal(QPoint(0, 0));
    int step = 0;
    for (auto _ : state) {
        const TContourPoint p = ContourPoints[static_cast<std::size_t>(dragged)];
        const int x = static_cast<int>(std::lround(p.x));
        const int y = static_cast<int>(std::lround(p.y)) + ((step++ & 1) ? 1 : -1);
        services.cursor = origin + QPoint(x, y);
        EditMode = DragPoint;
        Hit.HotPointIndex = dragged;
        Form1->FormMouseMove(Qt::LeftButton, x, y);
        Form1->Timer1Timer();
        Form2->Chart1->repaint();
        Form2->Memo1->viewport()->repaint();
        QApplication::processEvents();
    }
    platform::Install(nullptr);
    if (Form2->Memo1->blockCount() != n + 2)
        state.SkipWithError("the memo does not hold the whole table");

    delete Form3;
    delete Form2;
    delete Form1;
    Form1 = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
    ResetUnit1State();
}
BENCHMARK(BM_DragStep)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    qtbench::Prepare();
    TApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    return qtbench::Run(argc, argv);
}
