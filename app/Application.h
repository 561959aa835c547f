#pragma once

#include <QApplication>

/// The application object: its notify override is the program's default exception handler.
class TApplication final : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

/// Makes the default handler show every escaped exception's message in a message box, and makes a
/// write past the file-size limit an error the handler reports instead of a signal that ends the
/// process.
void InstallDefaultExceptionHandler();

/// Creates a window, assigns it to its global instance, and only then runs its create handler.
template <class TForm>
void CreateForm(TForm*& instance)
{
    instance = new TForm();
    instance->FormCreate();
}
