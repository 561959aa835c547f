#pragma once

#include "TContourPoint.h"

#include <QWidget>

#include <functional>
#include <vector>

class QPushButton;

/// What the review window reads and writes of the main window's state, wired at start-up.
struct TReviewLink {
    const std::vector<TContourPoint>* Contour = nullptr; ///< the digitised contour, y downward
    bool* ProfileSaved = nullptr;                         ///< set after a complete save
    std::function<int()> ViewImageHeight;                 ///< height of the composed view in pixels
};

/// The profile review window.
class TForm2 final : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    void FormCreate();

    QPushButton* Button1 = nullptr; ///< "neu berechnen", hidden: its click is the recompute
    TReviewLink Link;

    void Button1Click();
};

extern TForm2* Form2;
