// What every fuzz target shares: its entry point, a scratch folder for the
// files it works on, whole-file reads and writes, and a check that stops the
// run with a finding.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

// `QM_FUZZ_TARGET(input) { ... }` is the body run on every input.
#define QM_FUZZ_TARGET(input)                                                 \
    void FuzzOne(FuzzedDataProvider& input);                                  \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
        FuzzedDataProvider provider(data, size);                              \
        FuzzOne(provider);                                                    \
        return 0;                                                             \
    }                                                                         \
    void FuzzOne(FuzzedDataProvider& input)

namespace qm::fuzz {

// A folder of this process's own, ending in '/': in QM_FUZZ_SCRATCH when the
// caller gives one (scripts/fuzz does, and removes it), else on the memory
// file system. Removed when the program ends normally.
inline const std::string& ScratchDir() {
    static const std::string dir = [] {
        namespace fs = std::filesystem;
        const char* given = std::getenv("QM_FUZZ_SCRATCH");
        fs::path base = given != nullptr && *given != '\0' ? fs::path(given)
                        : fs::is_directory("/dev/shm")     ? fs::path("/dev/shm")
                                                           : fs::temp_directory_path();
        static const fs::path own = base / ("qm-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(own);
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(own, ignored);
        });
        return own.string() + "/";
    }();
    return dir;
}

// A broken promise: reported, then the run ends as a crash libFuzzer records.
inline void Require(bool condition, const char* promise) {
    if (condition) return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

// A file's bytes; none when it cannot be read.
inline std::optional<std::string> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// `bytes` as the whole file, or no file for none.
inline void WriteOrRemove(const std::string& path, const std::optional<std::string>& bytes) {
    std::filesystem::remove(path);
    if (bytes) std::ofstream(path, std::ios::binary) << *bytes;
}

}  // namespace qm::fuzz
