#include "Application.h"
#include "KeyState.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "WorkRecovery.h"

#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

int main(int argc, char** argv)
{
    TApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Zovori"));
    // Closing the main window ends the program (its close handler quits), not closing the last window.
    application.setQuitOnLastWindowClosed(false);
    InstallDefaultExceptionHandler();
    InstallGermanQtTranslation();
    platform::StartKeyTracking();

    CreateForm(Form1);
    CreateForm(Form2);
    CreateForm(Form3);

    // The windows reach each other through these links, not through each other's units.
    Form1->ReviewWindow = Form2;
    Form1->ReviewRecomputeButton = Form2->Button1;
    Form1->HelpWindow = Form3;
    Form2->Link.Contour = &ContourPoints;
    Form2->Link.ProfileSaved = &ProfileSaved;
    // In client pixels: on a dense screen the view is composed with more device pixels.
    Form2->Link.ViewImageHeight = [] { return ViewImage ? static_cast<int>(ViewImage->height() / ViewImage->devicePixelRatio()) : 0; };

    Form1->ReviewTitle = Form2->Edit2;

    Form1->show();
    // Removed again when the program ends normally; left behind by a crash or a kill.
    TWorkRecovery recovery(*Form1, RecoveryFolder());
    QTimer::singleShot(0, Form1, [&recovery] { recovery.OfferRestore(); });
    const int result = application.exec();
    delete Form3;
    delete Form2;
    delete Form1;
    return result;
}
