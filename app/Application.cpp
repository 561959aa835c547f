#include "Application.h"

#include "ErrorHandler.h"
#include "Services.h"

#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

#include <csignal>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    platform::SetEventActivity(&activity_);
}

TApplication::~TApplication()
{
    platform::SetEventActivity(nullptr);
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    // Other threads' events change nothing the GUI thread's ticks compare.
    struct TCount {
        platform::TEventActivity* activity;
        bool quiet;
        ~TCount()
        {
            if (activity)
                activity->Leave(quiet);
        }
    } count{receiver->thread() == thread() ? &activity_ : nullptr,
            event->type() == QEvent::Timer && platform::IsQuietTimer(receiver)};
    if (count.activity)
        count.activity->Enter();
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
