// One libFuzzer program: FUZZ_ENTRY names the entry function it drives.
#include "FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { return FUZZ_ENTRY(data, size); }
