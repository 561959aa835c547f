#include "Services.h"

#include "KeyState.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

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

    QPoint CursorPos() override { return QCursor::pos(); }

    bool Confirm(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Bestätigung"), text, QMessageBox::NoButton,
                        parent);
        QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes;
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
        prepare(dialog, request);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultExtension);
        if (!request.overwritePrompt)
            dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front();
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

} // namespace

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
