// Test entry point for widget tests: one application object, headless unless told otherwise.
#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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
    // Offscreen's own screen (800 x 800) is smaller than the main window: give it a desktop's, or
    // the one a test names in device pixels ("2560x1600"). A platform argument, not the environment,
    // so that a death test's child process makes its own.
    std::vector<char*> args(argv, argv + argc);
    std::string platform = "offscreen:configfile=/tmp/zovori-offscreen-" + std::to_string(getpid()) + ".json";
    const std::string configFile = platform.substr(platform.find('=') + 1);
    bool configured = false;
    if (std::string(std::getenv("QT_QPA_PLATFORM")) == "offscreen") {
        const char* size = std::getenv("ZOVORI_TEST_SCREEN");
        int width = 1600, height = 1200;
        if (size)
            std::sscanf(size, "%dx%d", &width, &height);
        if (FILE* file = std::fopen(configFile.c_str(), "w")) {
            std::fprintf(file, "{\"screens\": [{\"name\": \"test\", \"x\": 0, \"y\": 0, \"width\": %d, \"height\": %d}]}\n",
                         width, height);
            std::fclose(file);
            static char platformFlag[] = "-platform";
            args.insert(args.begin() + 1, {platformFlag, platform.data()});
            configured = true;
        }
    }
    args.push_back(nullptr);
    argc = static_cast<int>(args.size()) - 1;
    argv = args.data();
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime directory and warns in every test process without one.
        const std::string dir = "/tmp/zovori-tests-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    QApplication application(argc, argv);
    if (configured)
        std::remove(configFile.c_str()); // read once, at the platform's start
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
