#include "terminal/existing_file.h"

#include <cstdio>

#include "terminal/terminal.h"

namespace tazu::terminal {

namespace {

// Plain stdio rather than iostreams: the stub links this, and iostreams
// would bring the C++ runtime's locale code with them.
void Put(std::string_view text, std::FILE* out) {
    std::fwrite(text.data(), 1, text.size(), out);
}

}  // namespace

ExistingFileChoice AskExistingFile(const std::string& path, std::string_view choices, bool& for_all,
                                   std::FILE* out) {
    for (;;) {
        Put(Tr("Файл уже существует: "), out);
        Put(Escaped(path), out);
        Put("\n", out);
        Put(choices, out);
        std::fflush(out);
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
