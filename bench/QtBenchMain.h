#pragma once

// The common start of the benchmarks that run the program's windows.
#include <QString>
#include <QtGlobal>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace qtbench {

inline QtMessageHandler defaultHandler = nullptr;

// The offscreen platform reports every window operation it lacks; those lines bury the figures.
inline void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        defaultHandler(type, context, message);
}

/// Before the application object: headless unless the environment names a platform.
inline void Prepare()
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    defaultHandler = qInstallMessageHandler(FilterMessages);
}

inline int Run(int& argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace qtbench
