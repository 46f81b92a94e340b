// One libFuzzer target; the build names its entry (fuzz_entries.h) in FUZZ_ENTRY.
#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FUZZ_ENTRY(data, size);
}
