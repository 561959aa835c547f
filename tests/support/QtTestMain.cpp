// Test entry point for widget tests: one application object, headless unless told otherwise.
#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {
QtMessageHandler defaultHandler = nullptr;

// The offscreen platform reports every window operation it lacks; those lines only bury real output.
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    defaultHandler(type, context, message);
}
} // namespace

int main(int argc, char** argv)
{
    defaultHandler = qInstallMessageHandler(FilterMessages);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime directory and warns in every test process without one.
        const std::string dir = "/tmp/zovori-tests-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
