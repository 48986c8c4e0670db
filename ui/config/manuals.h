// The two manuals beside the program, "とりせつ.txt" and "とりせつ.html",
// opened with the desktop's own viewer.
#pragma once

class QWidget;

namespace qm {

struct ActiveConfig;
class Host;
class Interaction;

void OpenTextManual(QWidget* parent, const ActiveConfig& config, Interaction& io, Host& host);
void OpenHtmlManual(QWidget* parent, const ActiveConfig& config, Interaction& io, Host& host);

}  // namespace qm
