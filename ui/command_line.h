// The window program's command line: one file or folder to choose at
// start, or --encrypt PATH / --decrypt ARCHIVE to open the matching dialog
// for it at once (what file managers call), and --help and --version,
// which print and end without opening a window. Qt's own options
// (-platform NAME and the like) are passed over, for QApplication to take.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tazu {

struct CommandLine {
    enum class Action : std::uint8_t { kWindow, kHelp, kVersion, kError };
    enum class Dialog : std::uint8_t { kNone, kEncrypt, kDecrypt };

    Action action = Action::kWindow;
    Dialog dialog = Dialog::kNone;
    // The object to choose, absolute; empty for the current folder.
    std::filesystem::path object;
    // For kError: what is wrong, one line without the program's name.
    std::string error;
};

// Reads argv; a relative path is taken from the current folder. A path that
// does not exist, a second path and an unknown option are errors.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// The text of --help and of --version, each ending with a line break.
std::string CommandLineHelp();
std::string VersionText();

}  // namespace tazu
