// The pipe file reader and the selection lists built from what it read. What was read must
// write back and read again unchanged.
#include <cstdint>
#include <vector>

#include "data/archive.hpp"
#include "data/pipes.hpp"
#include "fuzz/fuzz_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    std::vector<Pipe> pipes;
    try {
        ArchiveReader in(std::vector<std::uint8_t>(data, data + size), "potrubi.tkd");
        pipes = ReadPipes(in);
    } catch (const ArchiveError&) {
        return 0;
    }
    ArchiveWriter out;
    WritePipes(out, pipes);
    ArchiveReader again(out.bytes(), "again.tkd");
    TARVIK_FUZZ_CHECK(ReadPipes(again) == pipes);
    TARVIK_FUZZ_CHECK(again.AtEnd());

    for (const std::string& kind : PipeKinds(pipes))
        for (const std::string& size : PipeSizes(pipes, kind))
            for (const std::string& wall : PipeWalls(pipes, kind, size))
                TARVIK_FUZZ_CHECK(FindPipe(pipes, kind, size, wall) != nullptr || kind.empty() ||
                                  size.empty() || wall.empty());
    return 0;
}
