#pragma once

#include <functional>
#include <string>

namespace platform {

/// The application's default handler for exceptions that escape an event handler: it shows the
/// message and the program carries on with the state as the handler left it.
using ExceptionSink = std::function<void(const std::string& message)>;

void SetExceptionSink(ExceptionSink sink);

/// Hands the exception being handled to the sink; call only inside a catch block.
void ReportCurrentException();

/// Runs an event handler, routing any exception it throws to the default handler, so that no
/// exception unwinds through the toolkit's own frames.
template <class F>
void Guarded(F&& handler)
{
    try {
        handler();
    } catch (...) {
        ReportCurrentException();
    }
}

} // namespace platform
