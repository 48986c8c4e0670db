// Each settings file read and parsed once while it stays as it was. The
// windows read key after key (a tag list of 300 entries is 900 reads of the
// same file); every read used to open and parse the whole file again.
//
// A kept file is used again only while its inode, size, modification and
// change times are those it had when read. A file system stamps times in
// ticks, so a second writer within one tick of the first could leave them
// unchanged: a file read less than two seconds after its last change (its
// change time, which no writer can set back) is therefore read again and
// compared byte for byte, the parse kept when the bytes are the same, until
// a read comes later than that.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>
#include <typeindex>

namespace qm {

using ParsedSettings = std::shared_ptr<const void>;

// The parse of the file's bytes, from the kept one when the file is
// unchanged; nullptr when the file is missing or cannot be read. `kind`
// tells different parses of one file apart.
ParsedSettings ReadParsedSettings(std::string_view iniPath, std::type_index kind,
                                  const std::function<ParsedSettings(std::string_view)>& parse);

template <class Parsed, class Parse>
std::shared_ptr<const Parsed> ReadParsedSettingsAs(std::string_view iniPath, Parse parse) {
    return std::static_pointer_cast<const Parsed>(ReadParsedSettings(
        iniPath, typeid(Parsed), [&parse](std::string_view bytes) -> ParsedSettings {
            return std::make_shared<const Parsed>(parse(bytes));
        }));
}

// How long after its last change a file must have been read for its times
// alone to tell a later change: two seconds (the even seconds of FAT), which
// tests shorten.
void SetSettingsSettleTime(std::chrono::nanoseconds time);

// How many times a settings file's bytes have been read from the disk in this run.
std::size_t SettingsFileReads();

}  // namespace qm
