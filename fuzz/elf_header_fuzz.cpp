// The check of a downloaded program's ELF header: any bytes give a verdict without a crash, and
// only a whole header of the platform's identity passes.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzz/fuzz_check.hpp"
#include "updater/program_swap.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik::updater;
    const std::string_view head(reinterpret_cast<const char*>(data), size);
    // x86-64 and a big-endian 32-bit machine, as the seeds carry both.
    for (const ElfIdentity platform : {ElfIdentity{2, 1, 62}, ElfIdentity{1, 2, 8}}) {
        const std::string why = CheckExecutableHeader(head, platform, "Tarvik.new");
        if (why.empty()) {
            TARVIK_FUZZ_CHECK(size >= 52 && std::memcmp(data, "\x7f" "ELF", 4) == 0);
            TARVIK_FUZZ_CHECK(data[4] == platform.elfClass && data[5] == platform.data);
        }
    }
    return 0;
}
