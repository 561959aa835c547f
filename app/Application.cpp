#include "Application.h"

#include "ErrorHandler.h"
#include "Services.h"

#include <QString>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    // Handlers guard themselves; this catches whatever still escapes, so the program carries on.
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        platform::ReportCurrentException();
        return false;
    }
}

void InstallDefaultExceptionHandler()
{
    platform::SetExceptionSink([](const std::string& message) {
        platform::Current().ShowError(QString::fromStdString(message));
    });
}
