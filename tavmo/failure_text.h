// Plain Japanese explanations of what went wrong, for the window and for
// standard error alike. Every text here is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace qm::tavmo {

// What the transfer library's result means for the user. `serverSaid` is the
// server's last reply line (may be empty), `detail` the library's own wording.
std::string DescribeTransferFailure(int curlCode, std::string_view serverSaid,
                                    std::string_view detail);

// The transfer library refused one of the options a transfer is set up with
// (`option`, its name); `detail` is the library's own wording.
std::string SetUpFailureText(std::string_view option, std::string_view detail);

// "「name」を送れませんでした。" followed by the reason on its own line.
std::string FileFailureText(std::string_view fileName, std::string_view reason);

std::string MissingFileText(std::string_view path);

}  // namespace qm::tavmo
