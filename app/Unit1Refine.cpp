// "Stützpunkte auf die Linie setzen": the window's side of the refinement onto the drawn line.
#include "Unit1.h"

#include "BusyCursor.h"
#include "ContourEditor.h"
#include "LineRefine.h"
#include "PictureView.h"
#include "Services.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QImage>

namespace {

/// Escape cancels a refinement once it has run this long; a shorter one is not worth stopping.
constexpr qint64 CancelAfterMs = 500;

} // namespace

void TForm1::SttzpunkteaufdieLiniesetzen1Click()
{
    if (!SourceImage || SourceImage->isNull() || ContourPoints.empty())
        return;
    QImage converted;
    const TPictureBytes picture = PictureViewOf(*SourceImage, converted);
    TBusyCursor wait;
    QElapsedTimer clock;
    clock.start();
    // Escape, held past half a second, stops the work and leaves the contour as it was.
    const TRefineProgress progress = [&clock](double) {
        return clock.elapsed() < CancelAfterMs || !platform::KeyHeld(platform::Key::Escape);
    };
    const std::vector<TPointMove> moves = RefineContourOntoLine(picture, ContourPoints, View.RotationAngle,
                                                                View.ZoomFactor, View.PointRadius, progress);
    if (EditorMovePoints(Unit1EditorModel(), moves) == 0)
        return;
    RenderView();
    Client->repaint();
}
