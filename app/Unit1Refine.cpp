// "Stützpunkte auf die Linie setzen": the window's side of the refinement onto the drawn line.
#include "Unit1.h"

#include "ContourEditor.h"
#include "LineRefine.h"
#include "PictureView.h"

#include <QImage>

void TForm1::SttzpunkteaufdieLiniesetzen1Click()
{
    if (!SourceImage || SourceImage->isNull() || ContourPoints.empty())
        return;
    QImage converted;
    const TPictureBytes picture = PictureViewOf(*SourceImage, converted);
    const std::vector<TPointMove> moves =
        RefineContourOntoLine(picture, ContourPoints, View.RotationAngle, View.ZoomFactor, View.PointRadius);
    if (EditorMovePoints(Unit1EditorModel(), moves) == 0)
        return;
    RenderView();
    Client->repaint();
}
