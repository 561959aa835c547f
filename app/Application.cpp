#include "Application.h"

#include "ErrorHandler.h"
#include "Services.h"

#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

#include <csignal>

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
    // Past the file-size limit a write would end the program by SIGXFSZ, contour and all;
    // ignored, the write fails and the save reports it.
    std::signal(SIGXFSZ, SIG_IGN);
    platform::SetExceptionSink([](const std::string& message) {
        platform::Current().ShowError(QString::fromStdString(message));
    });
}

QTranslator* InstallGermanQtTranslation()
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}
