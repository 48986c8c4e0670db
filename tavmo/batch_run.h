// The windowless run: progress and failures go to standard error.
#pragma once

#include <ostream>
#include <string>

#include "tavmo/transfer.h"

namespace qm::tavmo {

// Exit statuses of the tool.
constexpr int kExitSent = 0;
constexpr int kExitNotAllSent = 1;
constexpr int kExitUsage = 2;

// Every file that was not sent, one paragraph each, and how many were not
// tried; empty when everything was sent.
std::string FailureReport(const Uploader& uploader);

// Sends everything once, printing each file as it starts and a percentage as
// it goes, then the failure report. Returns the exit status.
int RunBatch(Uploader& uploader, std::ostream& err);

}  // namespace qm::tavmo
