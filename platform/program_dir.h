// The program folder: where the settings files, the entry file and the
// relative default paths live. It is the executable's own folder when that is
// a portable folder, otherwise the user's data folder; --home names another.
// Every path here is UTF-8 and every folder ends in '/'.
#pragma once

#include <optional>
#include <string>

namespace qm {

// The running executable's path and its folder (/proc/self/exe).
std::string ExecutablePath();
std::string ExecutableFolder();

// Turns `dir` into an absolute folder path.
std::string NormalizeFolder(const std::string& dir);

// Makes `dir` the working directory so relative settings resolve against it.
bool EnterFolder(const std::string& dir);

// A portable folder keeps the settings beside the program: it holds the
// system settings file QMsys.ini.
bool IsPortableFolder(const std::string& dir);

// $XDG_DATA_HOME/quillmaker/ when XDG_DATA_HOME is an absolute path, else
// $HOME/.local/share/quillmaker/ (the account's home folder when HOME is
// unset). Empty when no home folder is known.
std::string UserDataFolder();

// The program folder when no --home is given: `executableFolder` when it is
// portable, otherwise UserDataFolder().
std::string DefaultProgramFolder(const std::string& executableFolder);

// The program folder in use is handed in the environment to every program
// started from here, so the upload tool keeps its settings beside the diary
// it serves, not beside another one.
inline constexpr const char* kProgramFolderVariable = "QUILLMAKER_HOME";
bool HandDownProgramFolder(const std::string& dir);

// The program folder handed down by the program that started this one;
// empty when none was (or it is not an absolute path).
std::string HandedDownProgramFolder();

// Creates `dir` with its missing parents, owner-only as the desktop's data
// folders are. True when it is a folder afterwards.
bool MakeFolder(const std::string& dir);

// Where an installed system keeps the helper programs (the window program
// and the upload tool) and the manuals, seen from the executable's folder:
// <prefix>/libexec/quillmaker/ and <prefix>/share/quillmaker/manual/ beside
// <prefix>/bin/.
std::string InstalledHelperFolder(const std::string& executableFolder);
std::string InstalledManualFolder(const std::string& executableFolder);

// The example diary's folder: "example/" in a portable folder, else the
// installed <prefix>/share/quillmaker/example/, seen from bin/ or from the
// helper folder; std::nullopt when none holds it.
std::optional<std::string> FindExampleFolder(const std::string& executableFolder);

}  // namespace qm
