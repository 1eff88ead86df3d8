// The stub's arguments: the input, split at NUL bytes, is its argument
// list after the program's name, parsed by the stub's own parser (its
// source is compiled here with its entry point renamed).
//
// What must hold: the list is taken exactly when every argument starts
// with "/filr:" or "/parh:", and the archive and the folder are the text
// after the last of each.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#define main StubMain
#include "stub/main.cpp"
#undef main

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments{"Tazu16x32.SFX"};
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (std::size_t pos = 0; size > 0 && pos <= text.size();) {
        const std::size_t end = std::min(text.find('\0', pos), text.size());
        arguments.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    bool valid = true;
    std::string archive;
    std::string folder;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a.rfind(kFileOption, 0) == 0) {
            archive = a.substr(kFileOption.size());
        } else if (a.rfind(kFolderOption, 0) == 0) {
            folder = a.substr(kFolderOption.size());
        } else {
            valid = false;
        }
    }
    Options options;
    if (ParseOptions(arguments, options) != valid) {
        std::abort();  // an argument taken that is neither option, or an option refused
    }
    if (valid && (PathString(options.archive) != archive || PathString(options.folder) != folder)) {
        std::abort();  // not the text after the last option
    }
    return 0;
}
