#include "ui/command_line.h"

#include <array>
#include <string_view>
#include <system_error>

#include "format/language.h"

#ifndef TAZU_VERSION
#define TAZU_VERSION "0"
#endif

namespace tazu {
namespace {

namespace fs = std::filesystem;

// Qt's own options that take a value, and those that stand alone.
constexpr std::array<std::string_view, 17> kQtOptionsWithValue = {"-platform",
                                                                  "--platform",
                                                                  "-platformpluginpath",
                                                                  "-platformtheme",
                                                                  "-plugin",
                                                                  "-display",
                                                                  "-style",
                                                                  "--style",
                                                                  "-stylesheet",
                                                                  "-qwindowgeometry",
                                                                  "-geometry",
                                                                  "-qwindowtitle",
                                                                  "-qwindowicon",
                                                                  "-title",
                                                                  "-session",
                                                                  "-name",
                                                                  "-qmljsdebugger"};
constexpr std::array<std::string_view, 5> kQtFlags = {"-reverse", "-nograb", "-dograb", "-sync",
                                                      "-widgetcount"};

template <std::size_t N>
bool OneOf(std::string_view arg, const std::array<std::string_view, N>& list) {
    for (std::string_view item : list) {
        if (arg == item) {
            return true;
        }
    }
    return false;
}

CommandLine Error(std::string text) {
    CommandLine line;
    line.action = CommandLine::Action::kError;
    line.error = std::move(text);
    return line;
}

// Sets the object once; false (with the error set) when it cannot be.
bool TakeObject(CommandLine& line, std::string_view arg) {
    if (!line.object.empty()) {
        line = Error("only one file or folder can be opened: " + std::string(arg));
        return false;
    }
    std::error_code ec;
    fs::path path = fs::absolute(fs::path(std::string(arg)), ec).lexically_normal();
    if (ec || arg.empty() || !fs::exists(path, ec)) {
        line = Error("no such file or folder: " + std::string(arg));
        return false;
    }
    if (path.has_relative_path() && !path.has_filename()) {
        path = path.parent_path();  // "/home/ann/" is "/home/ann"
    }
    line.object = path;
    return true;
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    bool options_end = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (options_end || arg.empty() || arg.front() != '-' || arg == "-") {
            if (!TakeObject(line, arg)) {
                return line;
            }
        } else if (arg == "--") {
            options_end = true;
        } else if (arg == "--help" || arg == "-h") {
            line.action = CommandLine::Action::kHelp;
            return line;
        } else if (arg == "--version") {
            line.action = CommandLine::Action::kVersion;
            return line;
        } else if (arg == "--encrypt" || arg == "--decrypt") {
            if (line.dialog != CommandLine::Dialog::kNone) {
                return Error("--encrypt and --decrypt are given together");
            }
            line.dialog =
                arg == "--encrypt" ? CommandLine::Dialog::kEncrypt : CommandLine::Dialog::kDecrypt;
            // The path may follow; launchers that have no file leave it out.
            if (i + 1 < argc && argv[i + 1][0] != '-' && !TakeObject(line, argv[++i])) {
                return line;
            }
        } else if (OneOf(arg, kQtOptionsWithValue)) {
            ++i;
        } else if (!OneOf(arg, kQtFlags) && arg.substr(0, 15) != "-qmljsdebugger=") {
            return Error("unknown option: " + std::string(arg));
        }
    }
    return line;
}

std::string CommandLineHelp() {
    // The dialogs by the titles the user sees in the chosen language.
    const std::string encrypt_title(Tr("Шифрование"));
    const std::string decrypt_title(Tr("Расшифровывание"));
    return "Usage: tazu16x32 [PATH]\n"
           "       tazu16x32 --encrypt PATH\n"
           "       tazu16x32 --decrypt ARCHIVE\n"
           "\n"
           "The window program of Tazu16x32: encrypts a file or a folder with a password\n"
           "into one archive (.shf), and extracts such archives again.\n"
           "\n"
           "  PATH               start with this file or folder chosen, as if picked in\n"
           "                     the folder list\n"
           "  --encrypt PATH     open \"" +
           encrypt_title +
           "\" for this file or folder at once\n"
           "  --decrypt ARCHIVE  open \"" +
           decrypt_title +
           "\" for this archive at once\n"
           "  -h, --help         print this help and end\n"
           "      --version      print the version and end\n"
           "\n"
           "Without a display the windows cannot open; tazu16x32-cli does the same work\n"
           "from a terminal or a script.\n";
}

std::string VersionText() {
    return "tazu16x32 " TAZU_VERSION "\n";
}

}  // namespace tazu
