#pragma once

#include <QPoint>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QMessageBox;
class QWidget;

namespace platform {

/// Keys the program polls as physical key states at the moment of an event or tick.
enum class Key { Escape, F3, Shift, Control };

/// A standard file dialog as the program asks for it. `filter` is written "text|pattern|text|pattern",
/// patterns separated by ';'; `filterIndex` 0 selects the first entry.
struct FileDialogRequest {
    QString initialDirectory;
    QString filter;
    int filterIndex = 0;
    QString defaultExtension; ///< added when the typed name has none (save only)
    bool overwritePrompt = false;
    QString checkBox;             ///< caption of a check box under the file name (save only); none when empty
    bool checkBoxChecked = false; ///< its state when the dialog opens
};

/// The page of a picture file with several, and for a PDF its resolution, as the import asks for them.
struct PageRequest {
    int pageCount = 1;
    bool askResolution = false;
    int dpi = 300;             ///< proposed resolution
    int minDpi = 10;
    std::vector<double> maxDpi; ///< each page's largest resolution
};
struct PageChoice {
    int page = 1;     ///< 1-based
    double dpi = 0.0; ///< 0 unless a resolution was asked for
};

/// The window-system services the program uses, behind one interface so that tests replace them.
class Services {
public:
    virtual ~Services() = default;

    /// True while the key is physically held, whichever window (or program) has the focus.
    virtual bool KeyHeld(Key key) = 0;
    /// The mouse cursor in screen coordinates.
    virtual QPoint CursorPos() = 0;
    /// The confirmation box "Bestätigung" with the buttons "&Ja" and "&Nein"; true for Yes.
    virtual bool Confirm(QWidget* parent, const QString& text) = 0;
    /// The open dialog; no value when cancelled.
    virtual std::optional<QString> OpenFile(QWidget* parent, const FileDialogRequest& request) = 0;
    /// The save dialog; no value when cancelled.
    virtual std::optional<QString> SaveFile(QWidget* parent, const FileDialogRequest& request) = 0;
    /// The save dialog with the request's check box; `checked` gets its state when a file was chosen.
    virtual std::optional<QString> SaveFileWithOption(QWidget* parent, const FileDialogRequest& request, bool& checked)
    {
        checked = request.checkBoxChecked;
        return SaveFile(parent, request);
    }
    /// The page dialog "Bild importieren"; no value when cancelled. Services that show no dialogs
    /// (stand-ins of benchmarks) answer Cancel.
    virtual std::optional<PageChoice> ChoosePage(QWidget* parent, const PageRequest& request)
    {
        (void)parent;
        (void)request;
        return std::nullopt;
    }
    /// Shows an error message and returns when the user has read it.
    virtual void ShowError(const QString& message) = 0;
    /// The directory of the running program, without a trailing separator.
    virtual QString ProgramDirectory() = 0;
};

/// The services in force: the real ones unless a test installed its own.
Services& Current();
/// Installs services (not owned); nullptr returns to the real ones.
void Install(Services* services);

/// Convenience forms of the calls above.
inline bool KeyHeld(Key key) { return Current().KeyHeld(key); }
inline QPoint CursorPos() { return Current().CursorPos(); }

/// The confirmation box that the real Confirm runs: "Bestätigung", a question mark, "&Ja" the default
/// button and "&Nein" the escape button, and the text on one line however long it is.
std::unique_ptr<QMessageBox> CreateConfirmBox(QWidget* parent, const QString& text);

/// Converts a filter written "text|pattern|..." into Qt's name filters, one per entry.
QStringList NameFilters(const QString& filter);

} // namespace platform
