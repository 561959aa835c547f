// The import of PNG on arbitrary bytes.
#include "ImportHarness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_import::Initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_import::Run(data, size, QByteArray("\x89PNG\r\n\x1a\n"), 0);
}
