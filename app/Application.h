#pragma once

#include "EventActivity.h"

#include <QApplication>

class QTranslator;

/// The application object: its notify override is the program's default exception handler, and it
/// counts the deliveries on the GUI thread so that the ticks can tell an idle stretch.
class TApplication final : public QApplication {
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;
    bool notify(QObject* receiver, QEvent* event) override;

private:
    platform::TEventActivity activity_;
};

/// Makes the default handler show every escaped exception's message in a message box, and makes a
/// write past the file-size limit an error the handler reports instead of a signal that ends the
/// process.
void InstallDefaultExceptionHandler();

/// Installs Qt's own German translation (qtbase_de), so that the standard dialogs (open, save, their
/// questions, the message-box buttons) are German like the program, whatever the user's locale.
/// Returns the translator, owned by the application; nullptr where the translation is not installed.
QTranslator* InstallGermanQtTranslation();

/// Creates a window, assigns it to its global instance, and only then runs its create handler.
template <class TForm>
void CreateForm(TForm*& instance)
{
    instance = new TForm();
    instance->FormCreate();
}
