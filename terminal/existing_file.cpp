#include "terminal/existing_file.h"

#include <cstdio>

#include "terminal/terminal.h"

namespace tazu::terminal {

namespace {

void Put(std::string_view text, std::FILE* out) {
    std::fwrite(text.data(), 1, text.size(), out);
}

// One line of standard input without its line end; false at the end of the
// input with nothing read. Plain stdio rather than iostreams: the stub links
// this, and iostreams would bring the C++ runtime's locale code with them.
bool ReadAnswer(std::string& answer, std::FILE* in) {
    answer.clear();
    bool line_end = false;
    for (int c; (c = std::fgetc(in)) != EOF;) {
        if (c == '\n') {
            line_end = true;
            break;
        }
        answer.push_back(static_cast<char>(c));
    }
    if (!answer.empty() && answer.back() == '\r') {
        answer.pop_back();  // a line typed on a Windows console
        line_end = true;
    }
    return line_end || !answer.empty();
}

}  // namespace

ExistingFileChoice AskExistingFile(const std::string& path, std::string_view choices, bool& for_all,
                                   std::FILE* in, std::FILE* out) {
    for (;;) {
        Put("Файл уже существует: ", out);
        Put(Escaped(path), out);
        Put("\n", out);
        Put(choices, out);
        std::fflush(out);
        std::string answer;
        if (!ReadAnswer(answer, in) || answer == "c" || answer == "C") {
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
