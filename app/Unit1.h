#pragma once

#include "ContourEditor.h"
#include "ContourHistory.h"
#include "ContourPoints.h"
#include "EditMode.h"
#include "EventActivity.h"
#include "HitState.h"
#include "MainViewPaint.h"
#include "PaintInputs.h"
#include "PictureOrigin.h"
#include "ScreenPlace.h"
#include "Services.h"
#include "ViewMapping.h"
#include "WorkFile.h"
#include "WorkSnapshot.h"
#include "WheelNotches.h"

#include <QMainWindow>
#include <QWidget>

class Canvas;
class QAbstractButton;
class QAction;
class QImage;
class QLineEdit;
class QMenu;
class QTimer;
class QDragEnterEvent;
class QDropEvent;
class QWheelEvent;

// Module state of the main window's unit: shared by its handlers, read by the review window
// through the links set up at start-up. The start values are those below; ResetUnit1State restores them.
extern TContourPointArray ContourPoints;
extern TViewState View;
extern THitState Hit;
extern TEditMode EditMode;
extern TEditMode SavedEditMode;
extern bool ProfileDirty;     ///< the contour or the view changed; the next tick recomputes the review
extern bool ProfileSaved;     ///< nothing unsaved since the last .dat file was written
extern bool IsDestroying;     ///< set by FormDestroy; a resize then no longer composes the view
extern bool CursorDotVisible; ///< written only by the timer
extern QImage* SourceImage;   ///< the picture, owned by the main window between FormCreate and FormDestroy
extern QImage* ViewImage;     ///< the composed view at the window's outer size
extern TWheelAccumulator WheelFractions; ///< fractions of a notch from high-resolution wheels
extern TContourHistory ContourHistory;   ///< undo and redo of every contour edit
extern TPictureOrigin PictureOrigin;     ///< where the picture on screen was read from

/// Records a mirror of the picture whose key was `before` the mirror; MirrorsSinceLoading lists
/// those of the picture on screen, in order (none once another picture has replaced it, however it came).
void RecordMirror(TMirror mirror, qint64 before);
std::vector<TMirror> MirrorsSinceLoading();
/// Whether the contour holds points that no work file saved or opened since holds as they are.
bool WorkUnsaved(const TWorkSnapshot& now);

/// Restores every module variable of the main window's unit to its start value (used by tests).
void ResetUnit1State();
/// The work file's share of it: mirrors, the last work file, what it held (Unit1Work.cpp).
void ResetWorkState();

/// The editor's view of the module state above, history included.
TEditorModel Unit1EditorModel();

class TForm1;

/// The main window's client area: it has no child controls and forwards its events to TForm1.
class TForm1Client final : public QWidget {
public:
    explicit TForm1Client(TForm1* form);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TForm1* form_;
};

/// The digitising main window.
class TForm1 final : public QMainWindow {
    Q_OBJECT
public:
    /// Builds the window and its components; FormCreate runs separately, after the global is set.
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Components.
    QTimer* Timer1 = nullptr;
    QMenu* Laden1 = nullptr;
    QAction* Bildladen1 = nullptr;
    QAction* Programmende1 = nullptr;
    QAction* N3 = nullptr;               ///< the separator before the import items of "Datei"
    QAction* Bildimportieren1 = nullptr; ///< "Bild importieren …", Ctrl+O
    QAction* Bildeinfgen1 = nullptr;     ///< "Bild einfügen", Ctrl+V
    QMenu* Edit1 = nullptr;
    QAction* PolygonzurProfildateiweiterbearbeiten1 = nullptr;
    QAction* BlankItem = nullptr; ///< the unnamed item with an empty caption; it does nothing
    QAction* Polygonlschen1 = nullptr;
    QAction* Bildhorizontalspiegeln1 = nullptr;
    QAction* Bildvertikalspiegeln1 = nullptr;
    QAction* KurzHilfe1 = nullptr;
    QAction* N1 = nullptr;           ///< the separator before the history items of "Edit"
    QAction* Rckgngig1 = nullptr;    ///< "Rückgängig", Ctrl+Z
    QAction* Wiederholen1 = nullptr; ///< "Wiederholen", Ctrl+Y and Ctrl+Shift+Z
    QAction* N2 = nullptr;           ///< the separator before the refinement
    QAction* SttzpunkteaufdieLiniesetzen1 = nullptr; ///< "Stützpunkte auf die Linie setzen"
    QAction* N5 = nullptr;           ///< the separator before the tracing
    QAction* Konturautomatischverfolgen1 = nullptr; ///< "Kontur automatisch verfolgen", Ctrl+T
    QAction* N4 = nullptr;               ///< the separator before the work file items of "Datei"
    QAction* Arbeitffnen1 = nullptr;     ///< "Arbeit öffnen …"
    QAction* Arbeitspeichern1 = nullptr; ///< "Arbeit speichern …"; Ctrl+S saves to the last work file again
    TForm1Client* Client = nullptr;
    platform::FileDialogRequest OpenDialog1;
    platform::FileDialogRequest ImportDialog1;

    // The other windows, wired at start-up (the main window's unit does not depend on theirs).
    QWidget* ReviewWindow = nullptr;
    QAbstractButton* ReviewRecomputeButton = nullptr; ///< the review window's "neu berechnen"
    QWidget* HelpWindow = nullptr;
    QLineEdit* ReviewTitle = nullptr; ///< the review window's title box, saved with the work

    // Life cycle.
    void FormCreate();
    void FormDestroy();
    void FormCloseQuery(bool& CanClose);
    void Timer1Timer();

    // Menu commands.
    void Bildladen1Click();
    void Programmende1Click();
    void PolygonzurProfildateiweiterbearbeiten1Click();
    void Polygonlschen1Click();
    void Bildhorizontalspiegeln1Click();
    void Bildvertikalspiegeln1Click();
    void KurzHilfe1Click();
    /// Undo and redo of one contour edit; the hot state is sampled afresh at the cursor.
    void Rckgngig1Click();
    void Wiederholen1Click();
    /// Moves every point onto the centre of the drawn line under it, as one undoable step.
    void SttzpunkteaufdieLiniesetzen1Click();
    /// Traces the drawn outline on from the last point to the lower trailing edge, as one
    /// undoable step; where it stops, the view centres there and a sentence says why.
    void Konturautomatischverfolgen1Click();
    /// The work file: open, save through the dialog, save to the last file again (Ctrl+S).
    void Arbeitffnen1Click();
    void Arbeitspeichern1Click();
    void SaveWorkAgain();
    /// Opens a work file, asking for a missing picture; a recovered copy comes back unsaved.
    /// Throws the German reason and changes nothing when it cannot be opened; false when the user
    /// withdrew at the question for the picture (nothing changed either).
    bool OpenWork(const QString& fileName, bool recovered);
    /// Imports a picture of any readable kind, chosen by its content; a file with several pages
    /// or a PDF asks for the page (and the resolution). A failure changes nothing.
    void Bildimportieren1Click();
    /// Imports the picture in the clipboard, or the picture file copied there.
    void Bildeinfgen1Click();
    /// Adds the import items to "Datei" and lets the window take dropped files.
    void AddImportItems();
    /// The import of one file, as the command, a paste of a copied file or a drop runs it.
    void ImportPicture(const QString& fileName);
    /// Shows an imported picture as "Bild laden" shows a loaded one: contour cleared as one step, view reset.
    void ShowImportedPicture(QImage picture, const TPictureOrigin& origin);

    // Picture and view.
    void RenderView();
    void ResetView();
    void FormPaint();
    void FormResize();
    void DrawCursorDot(Canvas& canvas);
    void FormMouseWheelUp();
    void FormMouseWheelDown();
    /// One zoom or rotation step, direction +1 (up) or -1 (down), with its compose and repaint.
    void ZoomView(int direction);
    void RotateView(int direction);
    /// One pan step to the mouse position of a move event, with its compose and repaint.
    void PanView(int X, int Y);
    /// A wheel event of the client area: whole notches of 120 become wheel notifications.
    void HandleWheel(QWheelEvent* event);

    // Gestures. `buttons` are the buttons held at the event, the pressed one included.
    void FormMouseMove(Qt::MouseButtons buttons, int X, int Y);
    void FormMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, int X, int Y);
    /// Returns true when the key was one the window acts on: the plus and minus keys, and Ctrl+Z,
    /// Ctrl+Y and Ctrl+Shift+Z for undo and redo.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

    /// The client area in screen coordinates.
    QRect ClientRectOnScreen() const;

    /// Paints the client area through an off-screen image, fast for large contours.
    TMainViewPainter ViewPainter;
    /// What the last paint of the whole client area drew from; the timer repaints only when it changed.
    TPaintInputs PaintedInputs;
    /// The event deliveries the tick had seen when it last looked.
    std::uint64_t DeliveriesSeen = platform::NeverLooked;
    /// The client's place on the screen (see ClientRectOnScreen).
    mutable platform::TScreenPlace ClientPlace;
    /// Set by the client's paint event: false while only part of the client area is being painted.
    bool PaintCoversClient = true;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A picture file dropped onto the window is imported.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateWorkItems();
    void SaveWorkTo(const QString& fileName, bool embed);

public:
    /// The work as it stands now (GUI thread), a picture opened as absent included.
    TWorkSnapshot WorkSnapshotNow() const;
};

extern TForm1* Form1;
