#include "PageDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace platform {

PageDialog::PageDialog(QWidget* parent, const PageRequest& request) : QDialog(parent), request_(request)
{
    setWindowTitle(QStringLiteral("Bild importieren"));
    auto* form = new QFormLayout(this);
    Page = new QSpinBox(this);
    Page->setRange(1, std::max(1, request.pageCount));
    Page->setValue(1);
    form->addRow(QStringLiteral("Seite (1 bis %1):").arg(Page->maximum()), Page);
    if (request.askResolution) {
        Resolution = new QSpinBox(this);
        Resolution->setSuffix(QStringLiteral(" dpi"));
        Resolution->setRange(0, 1 << 20);
        Resolution->setValue(request.dpi);
        resolutionLabel_ = new QLabel(this);
        form->addRow(QStringLiteral("Auflösung:"), Resolution);
        form->addRow(QString(), resolutionLabel_);
        connect(Page, &QSpinBox::valueChanged, this, &PageDialog::PageChanged);
        PageChanged(1);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void PageDialog::PageChanged(int page)
{
    // Each page has its own largest resolution: the one whose picture still fits the size limit.
    const std::size_t index = static_cast<std::size_t>(page - 1);
    const int max = index < request_.maxDpi.size() ? static_cast<int>(request_.maxDpi[index]) : 1200;
    Resolution->setRange(std::min(request_.minDpi, max), max); // clamps the value shown
    resolutionLabel_->setText(QStringLiteral("höchstens %1 dpi").arg(max));
}

PageChoice PageDialog::Choice() const
{
    return PageChoice{Page->value(), Resolution ? double(Resolution->value()) : 0.0};
}

} // namespace platform
