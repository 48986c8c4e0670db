// A fingerprint of file contents, to tell later whether a file still holds
// exactly what was written into it without keeping a second copy.
#pragma once

#include <string>
#include <string_view>

namespace qm {

// SHA-256 of `bytes` as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace qm
