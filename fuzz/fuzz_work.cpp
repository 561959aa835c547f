// The work file reader over arbitrary bytes: it either refuses them with its own German reason or
// returns a work within the limits that writes back to bytes it reads again to the same work.
#include "WorkFile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TWork work;
    try {
        work = ReadWork(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const TWorkError& error) {
        if (std::string_view(error.what()).find("Arbeitsdatei") == std::string_view::npos)
            Fail("refusal without the program's reason");
        return 0;
    }
    if (work.Points.size() > MaxWorkPoints)
        Fail("too many points accepted");
    for (const TContourPoint& p : work.Points)
        if (!(std::abs(p.x) <= MaxWorkCoordinate && std::abs(p.y) <= MaxWorkCoordinate) || p.z != 0.0)
            Fail("point beyond the limits accepted");
    if (!std::isfinite(work.View.ZoomFactor) || work.View.ZoomFactor <= 0.0 || work.View.PointRadius < 4 ||
        !(work.View.RotationAngle >= 0.0 && work.View.RotationAngle < 360.0))
        Fail("view beyond the limits accepted");
    const std::string written = WriteWork(work);
    TWork again;
    try {
        again = ReadWork(written);
    } catch (const TWorkError&) {
        Fail("the program's own file refused");
    }
    if (!SameWork(again, work) || WriteWork(again) != written)
        Fail("round trip changed the work");
    return 0;
}
