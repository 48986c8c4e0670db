// The buttons that open the manuals, "とりせつ.txt" and "とりせつ.html", found
// beside the program or where it is installed (never in the --home folder).
#pragma once

class QWidget;

namespace qm {

class Host;
class Interaction;

void OpenTextManual(QWidget* parent, Interaction& io, Host& host);
void OpenHtmlManual(QWidget* parent, Interaction& io, Host& host);

}  // namespace qm
