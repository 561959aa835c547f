#pragma once

#include "Services.h"
#include "TContourPoint.h"

#include <QWidget>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
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

/// The profile review window: the file text in Memo1, the title in Edit2, saving.
class TForm2 final : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    void FormCreate();

    // Components, in tab order.
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr; ///< "neu berechnen", hidden: its click is the recompute
    QWidget* Chart1Place = nullptr; ///< where Chart1 goes (320, 8; 770 x 513)
    QLineEdit* Edit1 = nullptr;     ///< the coordinate readout
    QLabel* Label1 = nullptr;
    QLineEdit* Edit2 = nullptr;     ///< the title line
    QPushButton* Button2 = nullptr; ///< "Speichern unter"
    QCheckBox* CheckBox2 = nullptr; ///< normalisation on; hidden and always checked
    QTimer* Timer1 = nullptr;
    platform::FileDialogRequest SaveDialog1;

    TReviewLink Link;

    void Button1Click();
    void BuildProfileText();
    void Edit2Change();
    void Button2Click();
    void CheckBox2Click();
};

extern TForm2* Form2;
