// The user's words for a program or file that is not there or did not start:
// the same in the diary's windows, on the command line and in the upload tool.
#pragma once

#include <string_view>

namespace qm::msg {

// They follow the program's (or file's) path.
inline constexpr std::string_view kNotFoundSuffix = "がみつかりません。";
inline constexpr std::string_view kNotExecutableSuffix = "は実行できるファイルではありません。";
inline constexpr std::string_view kNotStartedSuffix = "を起動できませんでした。";
inline constexpr std::string_view kNotFoundCaption = "パスが違うよ";

}  // namespace qm::msg
