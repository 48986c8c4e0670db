// The fixture the file tests of every system share: a fresh folder with a
// page name in it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/native_path.h"
#include "platform/stream_replace.h"
#include "support/temp_dir.h"

namespace qm {

class Files : public ::testing::Test {
  protected:
    std::size_t Entries() const {
        return std::distance(std::filesystem::directory_iterator(dir_.dir()), {});
    }
    test::TempDir dir_;
    const std::string page_ = dir_ / "page.html";
};

inline NativePath N(const std::string& path) { return NativePath(path); }

inline const std::string kMarker = "<!-- MARK -->";
inline const CopyMethod kCopyMethods[] = {CopyMethod::Chosen, CopyMethod::Kernel,
                                          CopyMethod::ReadWrite};

}  // namespace qm
