#pragma once

#include "Services.h"

#include <QDialog>

class QLabel;
class QSpinBox;

namespace platform {

/// "Bild importieren": the page of a file with several, and for a PDF the resolution it is rendered at.
class PageDialog final : public QDialog {
public:
    PageDialog(QWidget* parent, const PageRequest& request);

    PageChoice Choice() const;

    QSpinBox* Page = nullptr;
    QSpinBox* Resolution = nullptr; ///< null unless the request asks for a resolution

private:
    void PageChanged(int page);

    PageRequest request_;
    QLabel* resolutionLabel_ = nullptr;
};

} // namespace platform
