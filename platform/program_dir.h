// The program folder: where the settings files, the entry file and the
// relative default paths live.
#pragma once

#include <string>

namespace qm {

// The folder of the running executable (/proc/self/exe) as UTF-8, ending in '/'.
std::string ExecutableFolder();

// Turns `dir` (UTF-8) into an absolute folder path ending in '/'.
std::string NormalizeFolder(const std::string& dir);

// Makes `dir` the working directory so relative settings resolve against it.
bool EnterFolder(const std::string& dir);

}  // namespace qm
