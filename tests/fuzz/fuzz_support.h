// What every fuzz target shares: a scratch folder for the files it works on,
// and a check that stops the run with a finding.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

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
        fs::path own = base / ("qm-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(own);
        static const fs::path removeAtExit = own;
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(removeAtExit, ignored);
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

}  // namespace qm::fuzz
