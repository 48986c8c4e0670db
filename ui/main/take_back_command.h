// "取り消し" in the main window's context menu: takes back the last entry
// written, after asking, and says what it did or why it did nothing.
#pragma once

namespace qm {

class MainDialog;

void TakeBackLastEntryCommand(MainDialog& window);

}  // namespace qm
