#pragma once

#include "MemoText.h"
#include "ProfileCheck.h"
#include "PlotRefill.h"
#include "ProfileTableUpdate.h"
#include "ScreenPlace.h"
#include "Services.h"
#include "TContourPoint.h"
#include "WheelNotches.h"
#include "XfoilPaneling.h"

#include <QWidget>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QResizeEvent;
class QShowEvent;
class QWheelEvent;
class TChart;
class TLineSeries;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

/// What the review window reads and writes of the main window's state, wired at start-up.
struct TReviewLink {
    const std::vector<TContourPoint>* Contour = nullptr; ///< the digitised contour, y downward
    bool* ProfileSaved = nullptr;                         ///< set after a complete save
    std::function<int()> ViewImageHeight;                 ///< height of the composed view in pixels
};

/// The profile table of the last recompute: y upward, normalised, closed (module state of
/// the review window; the plot reads it too).
extern std::vector<TContourPoint> ProfileCoords;

/// The profile review window: the file text in Memo1, the plot in Chart1 at equal scale in x and y,
/// the title in Edit2, saving.
class TForm2 final : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    void FormCreate();

    // Components, in tab order.
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr; ///< "neu berechnen", hidden: its click is the recompute
    TChart* Chart1 = nullptr;       ///< Tag: 0 nothing pending, 1 rescale after a zoom or resize, 2 after a reset
    TLineSeries* Series1 = nullptr; ///< owned by Chart1
    QLineEdit* Edit1 = nullptr;     ///< the coordinate readout
    QLabel* Label1 = nullptr;
    QLineEdit* Edit2 = nullptr;     ///< the title line
    QPushButton* Button2 = nullptr; ///< "Speichern unter"
    QCheckBox* CheckBox2 = nullptr; ///< normalisation on; hidden and always checked
    QPushButton* Button3 = nullptr; ///< "Für XFOIL speichern"
    QPlainTextEdit* Memo2 = nullptr; ///< the profile check, read-only, rebuilt by every recompute
    QTimer* Timer1 = nullptr;
    platform::FileDialogRequest SaveDialog1;

    TReviewLink Link;

    void Button1Click();
    void BuildProfileText();
    void Edit2Change();
    void Button2Click();
    void CheckBox2Click();
    /// Saves the profile for XFOIL: a smooth curve through its points, paneled in XFOIL's frame
    /// (or the points as they are, with no closing point after an open trailing edge and no
    /// repeats, where they give no sound curve). Hand edits in the memo are taken from its lines.
    void Button3Click();

    /// Last step of every recompute: the plot shows ProfileCoords in table order, zoom reset.
    void RefillPlot();

    void FormShow();
    void Chart1Zoom();
    void Chart1Resize();
    void Chart1UndoZoom();
    /// The equal-scale adjustment, once per pending flag.
    void Chart1AfterDraw();
    /// X, Y in the chart's client pixels.
    void Chart1MouseMove(int X, int Y);
    void Memo1MouseMove();
    void FormMouseWheelUp();
    void FormMouseWheelDown();
    void Timer1Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The check of the table just recomputed from `clicked` points.
    void BuildProfileCheck(std::size_t clicked, bool normalised);
    /// Memo2: the check's lines with those on the XFOIL file before its warnings.
    void ShowProfileCheck();
    /// After a hand edit of the memo has rested: whether the XFOIL file now comes from its lines.
    void Memo1EditRested();
    /// The wheel notifications an event completes: whole notches of 120, fractions kept.
    int WheelNotches(const QWheelEvent* event);
    /// One wheel notification of the window per notch, up or down by the sign.
    void FormMouseWheel(int notches);
    /// Steps 3 to 6 of the adjustment: keep the x range, derive the y range around its centre.
    void AdjustToEqualScale();

    TWheelAccumulator wheelFractions_;
    std::vector<std::string> checkLines_; ///< the profile check of the last recompute
    bool xfoilChecked_ = false;           ///< the check covers the XFOIL file (more than three points)
    TXfoilOutline tableOutline_;          ///< the XFOIL file of the last recompute's table
    bool memoEdited_ = false;             ///< the memo's text is not the recompute's
    QTimer* memoEditRest_ = nullptr;
    TMemoText memoText_; ///< rewrites only the memo's lines a recompute changed
    TProfileTableUpdate tableUpdate_; ///< normalises again only the points a change moved
    TCheckMemory checkMemory_;        ///< lets the check measure again only what moved
    TZoomReset zoomReset_;            ///< resets the zoom only where the reset would change something
    int chartRightGap_ = 0; ///< Chart1 keeps its distance to the right edge (anchored left, top, right)
    platform::TScreenPlace place_; ///< the window's corner on the screen, for the ticks
};

extern TForm2* Form2;
