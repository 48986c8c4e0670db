// What the two kinds of single-window channel share (ui/main only).
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace qm {

// Short enough for a socket path, the same for every start on the folder.
QString FolderDigest(const std::string& programDirCp932);

// The name the first window listens under, made from FolderDigest.
QString SingleWindowChannelName(const std::string& programDirCp932);

// Brings `window`, or the dialog open above it, to the front.
void BringToFront(QWidget& window);

}  // namespace qm
