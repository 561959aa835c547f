#include "ErrorHandler.h"

#include <exception>
#include <new>
#include <utility>

namespace platform {
namespace {
ExceptionSink& Sink()
{
    static ExceptionSink sink;
    return sink;
}
} // namespace

void SetExceptionSink(ExceptionSink sink)
{
    Sink() = std::move(sink);
}

void ReportCurrentException()
{
    std::string message;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        message = "Zu wenig Arbeitsspeicher";
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unbekannter Fehler";
    }
    if (Sink())
        Sink()(message);
}

} // namespace platform
