// Runs a fuzz target without libFuzzer, so that every build (GCC, sanitizers) tests it.
//
//   fuzz_replay_<name> [--seeds-only] PATH...
//
// A folder contributes each file in it as a seed together with its variants: every prefix, and
// for every offset the byte set to 0x00 and to 0xFF and each of its bits flipped. A file given
// directly (a crash input of libFuzzer, say) is run as it is. An exception escaping the target
// is a failure; the input is written to "<target>-failure-N.bin" in the current folder.
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TARVIK_HAVE_DEATH_CALLBACK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVIK_HAVE_DEATH_CALLBACK 1
#endif
#endif
#ifdef TARVIK_HAVE_DEATH_CALLBACK
#include <sanitizer/common_interface_defs.h>
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// What runs now, for the report when the process dies inside the target.
char g_current[512];

void PrintCurrent() {
    std::fprintf(stderr, "\nwhile running: %s\n", g_current);
}

extern "C" void OnAbort(int sig) {
    // Not async-signal-safe in theory; the process is about to die anyway.
    PrintCurrent();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

struct Replay {
    std::string target;
    long inputs = 0;
    int failures = 0;

    void Run(const Bytes& input, const std::string& seed, const char* what, std::size_t at, int value) {
        std::snprintf(g_current, sizeof g_current, "%s, %s at %zu (%d), %zu bytes", seed.c_str(), what, at,
                      value, input.size());
        ++inputs;
        try {
            LLVMFuzzerTestOneInput(input.data(), input.size());
            return;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "FAILED %s: uncaught exception: %s\n", g_current, e.what());
        } catch (...) {
            std::fprintf(stderr, "FAILED %s: uncaught exception of an unknown type\n", g_current);
        }
        ++failures;
        const std::string out = target + "-failure-" + std::to_string(failures) + ".bin";
        std::ofstream(out, std::ios::binary).write(reinterpret_cast<const char*>(input.data()),
                                                   static_cast<std::streamsize>(input.size()));
        std::fprintf(stderr, "       input written to %s\n", out.c_str());
    }

    void RunWithVariants(const Bytes& seed, const std::string& name) {
        Run(seed, name, "seed", 0, 0);
        for (std::size_t n = 0; n < seed.size(); ++n) {
            Run(Bytes(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(n)), name, "prefix", n, 0);
        }
        Bytes v = seed;
        for (std::size_t i = 0; i < seed.size(); ++i) {
            const std::uint8_t original = seed[i];
            int values[10] = {0x00, 0xFF};
            for (int bit = 0; bit < 8; ++bit) values[2 + bit] = original ^ (1 << bit);
            for (int k = 0; k < 10; ++k) {
                if (values[k] == original || (k >= 2 && (values[k] == 0x00 || values[k] == 0xFF))) continue;
                v[i] = static_cast<std::uint8_t>(values[k]);
                Run(v, name, "byte", i, values[k]);
            }
            v[i] = original;
        }
    }
};

bool ReadFile(const fs::path& p, Bytes& out) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
#ifdef TARVIK_HAVE_DEATH_CALLBACK
    __sanitizer_set_death_callback(PrintCurrent);
#endif
    std::signal(SIGABRT, OnAbort);
    Replay replay;
    replay.target = fs::path(argv[0]).filename().string();
    bool seedsOnly = false;
    int seeds = 0;
    for (int a = 1; a < argc; ++a) {
        if (std::strcmp(argv[a], "--seeds-only") == 0) {
            seedsOnly = true;
            continue;
        }
        const fs::path path = argv[a];
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            std::vector<fs::path> files;
            for (const auto& entry : fs::directory_iterator(path, ec)) {
                if (entry.is_regular_file()) files.push_back(entry.path());
            }
            std::sort(files.begin(), files.end());
            for (const auto& f : files) {
                Bytes bytes;
                if (!ReadFile(f, bytes)) {
                    std::fprintf(stderr, "cannot read %s\n", f.c_str());
                    return 1;
                }
                ++seeds;
                if (seedsOnly) {
                    replay.Run(bytes, f.filename().string(), "seed", 0, 0);
                } else {
                    replay.RunWithVariants(bytes, f.filename().string());
                }
            }
        } else {
            Bytes bytes;
            if (!ReadFile(path, bytes)) {
                std::fprintf(stderr, "cannot read %s\n", path.c_str());
                return 1;
            }
            ++seeds;
            replay.Run(bytes, path.string(), "file", 0, 0);
        }
    }
    if (seeds == 0) {
        std::fprintf(stderr, "usage: %s [--seeds-only] SEED_FOLDER_OR_FILE...\n(no seed files found)\n", argv[0]);
        return 1;
    }
    std::printf("%s: %d seeds, %ld inputs, %d failures\n", replay.target.c_str(), seeds, replay.inputs,
                replay.failures);
    return replay.failures == 0 ? 0 : 1;
}
