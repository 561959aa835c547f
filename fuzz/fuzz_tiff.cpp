// The import of TIFF (either byte order) on arbitrary bytes.
#include "ImportHarness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_import::Initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const bool intel = size >= 4 && data[0] == 'I' && data[1] == 'I' && data[2] == 42 && data[3] == 0;
    const bool motorola = size >= 4 && data[0] == 'M' && data[1] == 'M' && data[2] == 0 && data[3] == 42;
    return intel || motorola ? fuzz_import::Run(data, size, QByteArray(), 0) : 0;
}
