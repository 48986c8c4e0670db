// Every settings write of the windows reports its failure the same way: one
// message naming the file, so the user knows the change was not kept.
#pragma once

#include <string_view>

class QWidget;

namespace qm {

class Interaction;

// Shows the message when `written` is false; returns `written`, so a caller
// can stop after a failed write.
bool ReportIfNotWritten(bool written, std::string_view iniPathCp932, QWidget* parent,
                        Interaction& io);

}  // namespace qm
