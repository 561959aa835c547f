#include "Services.h"

#include "PageDialog.h"

#include "KeyState.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace platform {
namespace {

class RealServices final : public Services {
public:
    bool KeyHeld(Key key) override
    {
        switch (key) {
        case Key::Shift:
            return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
        case Key::Control:
            return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
        case Key::Escape:
        case Key::F3:
            return PhysicalKeyHeld(key);
        }
        return false;
    }

    QPoint CursorPos() override { return TrackedCursorPos(); }

    bool Confirm(QWidget* parent, const QString& text) override
    {
        const std::unique_ptr<QMessageBox> box = CreateConfirmBox(parent, text);
        box->exec();
        return box->clickedButton() == box->defaultButton();
    }

    std::optional<QString> OpenFile(QWidget* parent, const FileDialogRequest& request) override
    {
        QFileDialog dialog(parent);
        prepare(dialog, request);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front();
    }

    std::optional<QString> SaveFile(QWidget* parent, const FileDialogRequest& request) override
    {
        QFileDialog dialog(parent);
        prepareSave(dialog, request);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front();
    }

    std::optional<QString> SaveFileWithOption(QWidget* parent, const FileDialogRequest& request, bool& checked) override
    {
        QFileDialog dialog(parent);
        prepareSave(dialog, request);
        auto* box = new QCheckBox(request.checkBox, &dialog);
        box->setChecked(request.checkBoxChecked);
        // Qt's own dialog lays itself out on a grid: the box goes on a row of its own below it.
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        checked = box->isChecked();
        return dialog.selectedFiles().front();
    }

    std::optional<PageChoice> ChoosePage(QWidget* parent, const PageRequest& request) override
    {
        PageDialog dialog(parent, request);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.Choice();
    }

    void ShowError(const QString& message) override
    {
        QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), message, QMessageBox::Ok);
        box.exec();
    }

    QString ProgramDirectory() override
    {
        return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    }

private:
    static void prepareSave(QFileDialog& dialog, const FileDialogRequest& request)
    {
        prepare(dialog, request);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultExtension);
        if (!request.overwritePrompt)
            dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    }

    static void prepare(QFileDialog& dialog, const FileDialogRequest& request)
    {
        // Qt's own dialog everywhere, so that the filter texts read exactly as the program writes them.
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setOption(QFileDialog::HideNameFilterDetails, true);
        dialog.setDirectory(request.initialDirectory);
        const QStringList filters = NameFilters(request.filter);
        dialog.setNameFilters(filters);
        if (request.filterIndex >= 0 && request.filterIndex < filters.size())
            dialog.selectNameFilter(filters[request.filterIndex]);
    }
};

Services* installed = nullptr;

/// A message box that keeps its text on one line: QMessageBox wraps any text wider than half the
/// screen (at most 500 pixels) whenever it is shown or its layout changes.
class TOneLineMessageBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        FitOnOneLine();
    }

    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::LayoutRequest)
            return QMessageBox::event(event);
        // QMessageBox's own handling of this event is its wrapping size rule.
        const bool result = QDialog::event(event);
        FitOnOneLine();
        return result;
    }

private:
    void FitOnOneLine()
    {
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (!label || !layout() || !isVisible())
            return;
        label->setWordWrap(false);
        layout()->activate();
        const QSize size = layout()->totalMinimumSize();
        const QScreen* screen = this->screen();
        if (screen && size.width() > screen->availableGeometry().width()) {
            label->setWordWrap(true); // only a screen too narrow for the line wraps it
            return;
        }
        setFixedSize(size);
    }
};

} // namespace

std::unique_ptr<QMessageBox> CreateConfirmBox(QWidget* parent, const QString& text)
{
    auto box = std::make_unique<TOneLineMessageBox>(QMessageBox::Question, QStringLiteral("Bestätigung"), text,
                                                    QMessageBox::NoButton, parent);
    QPushButton* yes = box->addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box->addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box->setDefaultButton(yes);
    box->setEscapeButton(no);
    return box;
}

Services& Current()
{
    static RealServices real;
    return installed ? *installed : real;
}

void Install(Services* services)
{
    installed = services;
}

QStringList NameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        result << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return result;
}

} // namespace platform
