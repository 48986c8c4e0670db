// Starting another program through the host, and telling the user why one
// did not start: every caller says it in the same words.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"

namespace qm {

class Host;

// Tells the user why `programCp932` did not start (the path and the reason);
// nothing when it started. True when it started.
bool TellIfNotStarted(StartResult result, std::string_view programCp932, Host& host);

// Starts the program through the host and tells the user why when it did not
// start.
StartResult StartOrTell(std::string_view programCp932,
                        const std::vector<std::string>& nativeArguments, Host& host);

}  // namespace qm
