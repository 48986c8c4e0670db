#include "platform/file_stamp.h"

#include <charconv>

namespace qm {

namespace {

template <typename Number>
bool ParseNumber(std::string_view& text, Number& number, bool last) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc()) return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    if (last) return text.empty();
    if (text.empty() || text.front() != ':') return false;
    text.remove_prefix(1);
    return true;
}

}  // namespace

std::string FileStamp::Text() const {
    return std::to_string(device) + ":" + std::to_string(inode) + ":" + std::to_string(size) + ":" +
           std::to_string(modifiedNs) + ":" + std::to_string(changedNs);
}

std::optional<FileStamp> FileStamp::FromText(std::string_view text) {
    FileStamp stamp;
    if (ParseNumber(text, stamp.device, false) && ParseNumber(text, stamp.inode, false) &&
        ParseNumber(text, stamp.size, false) && ParseNumber(text, stamp.modifiedNs, false) &&
        ParseNumber(text, stamp.changedNs, true)) {
        return stamp;
    }
    return std::nullopt;
}

}  // namespace qm
