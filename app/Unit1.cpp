#include "Unit1.h"

#include "ContourEditor.h"
#include "ErrorHandler.h"
#include "MenuBarKeys.h"
#include "SyntheticWheel.h"
#include "WindowPlacement.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QTimer>

TContourPointArray ContourPoints;
TViewState View;
THitState Hit;
TEditMode EditMode = Idle;
TEditMode SavedEditMode = Idle;
bool ProfileDirty = false;
bool ProfileSaved = true;
bool IsDestroying = false;
bool CursorDotVisible = false;
QImage* SourceImage = nullptr;
QImage* ViewImage = nullptr;
TWheelAccumulator WheelFractions;
TContourHistory ContourHistory;
TPictureOrigin PictureOrigin;

TForm1* Form1 = nullptr;

void ResetUnit1State()
{
    ContourPoints.clear();
    View = TViewState{};
    Hit = THitState{};
    EditMode = Idle;
    SavedEditMode = Idle;
    ProfileDirty = false;
    ProfileSaved = true;
    IsDestroying = false;
    CursorDotVisible = false;
    WheelFractions = TWheelAccumulator{};
    ContourHistory.Reset();
    PictureOrigin = TPictureOrigin{};
    ResetWorkState();
}

namespace {
constexpr int OuterWidth = 1190;
constexpr int OuterHeight = 876;
} // namespace

TForm1Client::TForm1Client(TForm1* form) : QWidget(form), form_(form)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    // The paint covers the whole client area from the composed view; no background erase needed.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TForm1Client::paintEvent(QPaintEvent* event)
{
    form_->PaintCoversClient = QRegion(rect()).subtracted(event->region()).isEmpty();
    platform::Guarded([&] { form_->FormPaint(); });
}

void TForm1Client::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    platform::Guarded([&] { form_->FormMouseMove(event->buttons(), p.x(), p.y()); });
}

void TForm1Client::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    platform::Guarded([&] { form_->FormMouseDown(event->button(), event->buttons(), p.x(), p.y()); });
}

void TForm1Client::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press like any other.
    mousePressEvent(event);
}

void TForm1Client::wheelEvent(QWheelEvent* event)
{
    platform::Guarded([&] { form_->HandleWheel(event); });
}

TForm1::TForm1(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Zovori Konturzieher V1.21"));
    QFont font(QStringLiteral("DejaVu Sans")); // the stand-in for "MS Sans Serif"
    font.setPixelSize(11);
    setFont(font);

    Client = new TForm1Client(this);
    setCentralWidget(Client);

    QMenuBar* bar = menuBar();
    Laden1 = bar->addMenu(QStringLiteral("Datei"));
    Bildladen1 = Laden1->addAction(QStringLiteral("Bild laden"));
    Programmende1 = Laden1->addAction(QStringLiteral("Programmende"));
    AddImportItems();
    Edit1 = bar->addMenu(QStringLiteral("Edit"));
    PolygonzurProfildateiweiterbearbeiten1 = Edit1->addAction(QStringLiteral("Polygon zur Profildatei weiter bearbeiten"));
    BlankItem = Edit1->addAction(QString());
    Polygonlschen1 = Edit1->addAction(QStringLiteral("Polygon löschen"));
    Bildhorizontalspiegeln1 = Edit1->addAction(QStringLiteral("Bild horizontal spiegeln"));
    Bildvertikalspiegeln1 = Edit1->addAction(QStringLiteral("Bild vertikal spiegeln"));
    KurzHilfe1 = bar->addAction(QStringLiteral("Kurz-Hilfe"));
    N1 = Edit1->addSeparator();
    Rckgngig1 = Edit1->addAction(QStringLiteral("Rückgängig"));
    Wiederholen1 = Edit1->addAction(QStringLiteral("Wiederholen"));
    N2 = Edit1->addSeparator();
    SttzpunkteaufdieLiniesetzen1 = Edit1->addAction(QStringLiteral("Stützpunkte auf die Linie setzen"));
    N5 = Edit1->addSeparator();
    Konturautomatischverfolgen1 = Edit1->addAction(QStringLiteral("Kontur automatisch verfolgen"));
    Konturautomatischverfolgen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    CreateWorkItems();
    // The menu shows the keys; they act through the window's key preview, so the shortcuts apply
    // only while the menu itself has the focus and never take a key from the window.
    Rckgngig1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Wiederholen1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    Rckgngig1->setShortcutContext(Qt::WidgetShortcut);
    Wiederholen1->setShortcutContext(Qt::WidgetShortcut);
    Rckgngig1->setEnabled(false);
    Wiederholen1->setEnabled(false);
    platform::EnableMenuBarKeys(bar);
    // Every notch over the window is a wheel notification, also over the menu bar.
    platform::ForwardWheel(bar, Client);

    const auto bind = [this](QAction* action, void (TForm1::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { platform::Guarded([&] { (this->*handler)(); }); });
    };
    bind(Bildladen1, &TForm1::Bildladen1Click);
    bind(Programmende1, &TForm1::Programmende1Click);
    bind(PolygonzurProfildateiweiterbearbeiten1, &TForm1::PolygonzurProfildateiweiterbearbeiten1Click);
    bind(Polygonlschen1, &TForm1::Polygonlschen1Click);
    bind(Bildhorizontalspiegeln1, &TForm1::Bildhorizontalspiegeln1Click);
    bind(Bildvertikalspiegeln1, &TForm1::Bildvertikalspiegeln1Click);
    bind(KurzHilfe1, &TForm1::KurzHilfe1Click);
    bind(Rckgngig1, &TForm1::Rckgngig1Click);
    bind(Wiederholen1, &TForm1::Wiederholen1Click);
    bind(SttzpunkteaufdieLiniesetzen1, &TForm1::SttzpunkteaufdieLiniesetzen1Click);
    bind(Konturautomatischverfolgen1, &TForm1::Konturautomatischverfolgen1Click);

    Timer1 = new QTimer(this);
    Timer1->setInterval(10);
    platform::MarkQuietTimer(Timer1);
    connect(Timer1, &QTimer::timeout, this, [this] { platform::Guarded([&] { Timer1Timer(); }); });

    // Key preview: the plus and minus keys act whichever part of the window has the focus.
    // Keys the client area leaves alone reach the window once, by propagation.
    installEventFilter(this);

    // The outer size includes the frame, which the window system may report only after the first show.
    platform::KeepCentredOnScreen(this, QSize(OuterWidth, OuterHeight));
}

TForm1::~TForm1()
{
    if (!IsDestroying)
        FormDestroy();
}

void TForm1::FormCreate()
{
    View.ViewOriginX = 0;
    View.ViewOriginY = 0;
    delete SourceImage;
    SourceImage = new QImage();
    delete ViewImage;
    ViewImage = new QImage();
    // Qt widgets are double-buffered already: every paint is composed off screen and shown in one piece.
    EditMode = Idle;
    Timer1->start();
}

void TForm1::FormDestroy()
{
    IsDestroying = true;
    Timer1->stop();
    delete SourceImage;
    SourceImage = nullptr;
    delete ViewImage;
    ViewImage = nullptr;
}

void TForm1::Timer1Timer()
{
    // The contour, its history, the picture, the view and the palette change only in some handler.
    // While none ran since the last tick (only the windows' own ticks did), what depends on them
    // is as it was, and only what the tick itself sets below can differ.
    platform::TEventActivity* activity = platform::EventActivity();
    const bool anythingRan = !activity || activity->Since(DeliveriesSeen);
    if (anythingRan) {
        const bool contourEmpty = ContourPoints.empty();
        Bildhorizontalspiegeln1->setEnabled(contourEmpty);
        Bildvertikalspiegeln1->setEnabled(contourEmpty);
        Rckgngig1->setEnabled(ContourHistory.CanUndo());
        Wiederholen1->setEnabled(ContourHistory.CanRedo());
    }

    if (ProfileDirty) {
        // The recompute runs to completion before the flag is cleared.
        if (ReviewRecomputeButton)
            ReviewRecomputeButton->click();
        ProfileDirty = false;
    }

    EditorTickKeys(EditMode, ContourPoints, platform::KeyHeld(platform::Key::Escape),
                   platform::KeyHeld(platform::Key::F3));

    // Strictly inside: the first column and row count as outside, the last ones as inside.
    const QRect client = ClientRectOnScreen();
    const QPoint cursor = platform::CursorPos();
    CursorDotVisible = client.left() < cursor.x() && cursor.x() < client.left() + client.width() &&
                       client.top() < cursor.y() && cursor.y() < client.top() + client.height();
    if (Hit.HotPointIndex >= 0)
        CursorDotVisible = false;

    // Painting what is already on the screen would change no pixel; idle ticks leave it out.
    const bool unchanged = anythingRan ? PaintedInputs.Unchanged(Client->size(), Client->devicePixelRatioF())
                                       : PaintedInputs.TickStateUnchanged();
    if (!unchanged)
        Client->repaint();
}

QRect TForm1::ClientRectOnScreen() const
{
    return QRect(ClientPlace.Of(*Client), Client->size());
}

void TForm1::FormCloseQuery(bool& CanClose)
{
    if (ContourPoints.empty() || ProfileSaved) {
        CanClose = true;
        return;
    }
    CanClose = false;
    const bool yes = platform::Current().Confirm(
        this, QStringLiteral("Achtung: Es sind Stützpunktdaten vorhanden !!Zovori weiter bearbeiten ?"));
    if (yes) {
        // Asked from a minimised window (its task-bar entry), the answer brings the work back in view.
        setWindowState(windowState() & ~Qt::WindowMinimized);
        PolygonzurProfildateiweiterbearbeiten1->trigger();
    } else {
        CanClose = true;
    }
}

void TForm1::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    platform::Guarded([&] { FormCloseQuery(canClose); });
    if (!canClose) {
        event->ignore();
        return;
    }
    event->accept();
    // Closing the main window ends the program, whatever other windows are shown.
    QCoreApplication::quit();
}

void TForm1::Programmende1Click()
{
    close();
}

void TForm1::PolygonzurProfildateiweiterbearbeiten1Click()
{
    if (!ReviewWindow)
        return;
    platform::ShowRestored(ReviewWindow);
}

void TForm1::Polygonlschen1Click()
{
    // One undoable step, also when a picture load or a mirror invokes it.
    EditorClearContour(Unit1EditorModel());
    RenderView();
}

void TForm1::KurzHilfe1Click()
{
    if (!HelpWindow)
        return;
    platform::ShowRestored(HelpWindow);
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    platform::Guarded([&] { FormResize(); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        bool handled = false;
        platform::Guarded([&] { handled = FormKeyDown(key->key(), key->modifiers()); });
        // The key is passed on unchanged either way.
        (void)handled;
    }
    if (watched == Arbeitspeichern1 && event->type() == QEvent::Shortcut) {
        platform::Guarded([&] { SaveWorkAgain(); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
