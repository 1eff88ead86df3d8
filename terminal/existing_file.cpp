#include "terminal/existing_file.h"

#include <cstdio>

#include "terminal/terminal.h"

namespace tazu::terminal {

ExistingFileChoice AskExistingFile(const std::string& path, std::string_view choices,
                                   bool& for_all) {
    for (;;) {
        std::fprintf(stderr, "Файл уже существует: %s\n%.*s", Escaped(path).c_str(),
                     static_cast<int>(choices.size()), choices.data());
        std::fflush(stderr);
        std::string answer;
        if (!ReadAnswerLine(answer) || answer == "c" || answer == "C") {
            return ExistingFileChoice::Cancel;
        }
        if (answer == "r" || answer == "R") {
            for_all = answer == "R";
            return ExistingFileChoice::Replace;
        }
        if (answer == "s" || answer == "S") {
            for_all = answer == "S";
            return ExistingFileChoice::Skip;
        }
    }
}

}  // namespace tazu::terminal
