// "Kontur automatisch verfolgen": the window's side of tracing the drawn outline.
#include "Unit1.h"

#include "BusyCursor.h"
#include "OutlineTrace.h"
#include "PictureView.h"

#include <QApplication>
#include <QCursor>
#include <QImage>

#include <cmath>

void TForm1::Konturautomatischverfolgen1Click()
{
    if (!SourceImage || SourceImage->isNull() || ContourPoints.empty()) {
        platform::Current().ShowError(QStringLiteral(
            "Zum Verfolgen der Kontur zuerst ein Bild laden und den ersten Punkt hinten oben auf die Kontur setzen."));
        return;
    }
    TTraceResult result;
    {
        TBusyCursor busy;
        QImage converted;
        const TPictureBytes picture = PictureViewOf(*SourceImage, converted);
        result = TraceOutline(picture, ContourPoints, View.RotationAngle);
    }
    EditorAppendPoints(Unit1EditorModel(), result.Added);
    // A whole outline is done: a further click should not add a point after its lower edge. After
    // a stop the end stays armed, so that the next click goes on past the place.
    if (result.End == TTraceEnd::TrailingEdge)
        EditMode = Idle;
    const std::string sentence = TraceStopSentence(result);
    if (!sentence.empty()) {
        // The place the trace stopped goes to the middle of the window, where the user goes on.
        const double x = result.StopX * View.ZoomFactor, y = result.StopY * View.ZoomFactor;
        if (std::isfinite(x) && std::isfinite(y) && std::abs(x) < 1e9 && std::abs(y) < 1e9) {
            View.ViewOriginX = Client->width() / 2 - static_cast<int>(std::nearbyint(x));
            View.ViewOriginY = Client->height() / 2 - static_cast<int>(std::nearbyint(y));
            ProfileDirty = true;
        }
    }
    RenderView();
    Client->repaint();
    if (!sentence.empty())
        platform::Current().ShowError(QString::fromStdString(sentence));
}
