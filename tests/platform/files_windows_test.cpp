#include <gtest/gtest.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "files_fixture.h"
#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/leftover_temps.h"
#include "platform/program_dir.h"
#include "platform/windows_files.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// The \\?\ form that a path past MAX_PATH needs outside the program's own
// file functions (the C++ library's folder walk has no such form).
std::wstring LongForm(const std::string& utf8) {
    return L"\\\\?\\" + PathOf(utf8).make_preferred().wstring();
}

int EntriesIn(const std::string& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(LongForm(folder + "*").c_str(), &found);
    int entries = 0;
    if (search == INVALID_HANDLE_VALUE) return -1;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") ++entries;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return entries;
}

// Names past MAX_PATH, with characters whose second byte is 0x5C, work
// throughout; a failure names the file and says why, leaving nothing behind.
TEST_F(Files, LongJapanesePathsWorkAndFailuresSayWhy) {
    std::string folder = dir_.dir();
    for (int level = 0; level < 30; ++level) folder += "十表ソ日記のフォルダ/";  // 330 characters
    ASSERT_TRUE(MakeFolder(folder));
    const std::string pageUtf8 = folder + "日記.html";
    const NativePath page = *NativePathOf(Utf8ToCp932(pageUtf8).value());
    ASSERT_TRUE(ReplaceFileContents(NativePath(pageUtf8), "old"));
    {
        auto held = LockedFile::Open(page, LockedFile::Mode::OpenExisting);
        ASSERT_TRUE(held);
        EXPECT_EQ(*held->ReadAll(), "old");
        ASSERT_TRUE(held->Replace("new"));
    }
    EXPECT_EQ(*ReadRegularFile(page), "new");
    ASSERT_TRUE(FileExists(page));

    // Wine takes long names without the \\?\ form; Windows does not.
    EXPECT_EQ(WidePathOf("C:/web/a.html"), L"C:\\web\\a.html");
    EXPECT_EQ(WidePathOf(pageUtf8).value().rfind(L"\\\\?\\C:\\users\\", 0), 0u);
    EXPECT_EQ(WidePathOf("//server/share/" + folder.substr(3))
                  .value()
                  .rfind(L"\\\\?\\UNC\\server\\share\\", 0),
              0u);

    // A killed run's temporary goes; one still being written (locked by its
    // writer) stays.
    const std::string left = folder + ".日記.html.a1B2c3";
    std::ofstream(PathOf(left)) << "half";
    std::string live;
    const auto writing = CreateTempBeside(pageUtf8, live);
    ASSERT_TRUE(writing);
    EXPECT_EQ(RemoveTemporariesLeftIn(
                  N(folder), [](std::string_view name) { return name == "\x93\xfa\x8b\x4c.html"; }),
              1);
    EXPECT_FALSE(fs::exists(PathOf(left)));
    EXPECT_TRUE(fs::exists(PathOf(live)));
    ::_close(*writing);
    ::DeleteFileW(LongForm(live).c_str());

    EXPECT_FALSE(ReadRegularFile(N(dir_.dir())));
    const auto noFolder = ReplaceFileContents(NativePath(dir_ / "gone/page.html"), "text");
    ASSERT_FALSE(noFolder);
    EXPECT_EQ(noFolder.problem().fsPath, dir_ / "gone/page.html");
    EXPECT_FALSE(noFolder.problem().answer.empty());
    const auto taken = CreateFileWith(NativePath(pageUtf8), 0644, [](int) { return true; });
    ASSERT_FALSE(taken);
    EXPECT_EQ(taken.problem().code, EEXIST);
    EXPECT_EQ(*ReadRegularFile(page), "new");

    EXPECT_EQ(EntriesIn(folder), 1);
    ASSERT_TRUE(RemoveFile(page));
    for (std::string level = folder; level.size() > dir_.dir().size();
         level.erase(level.find_last_of('/', level.size() - 2) + 1)) {
        EXPECT_TRUE(::RemoveDirectoryW(LongForm(level).c_str()));
    }
}

}  // namespace
}  // namespace qm
