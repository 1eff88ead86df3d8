#include "terminal/existing_file.h"

#include <iostream>

#include "terminal/terminal.h"

namespace tazu::terminal {

ExistingFileChoice AskExistingFile(const std::string& path, std::string_view choices,
                                   bool& for_all) {
    for (;;) {
        std::cerr << "Файл уже существует: " << Escaped(path) << "\n" << choices << std::flush;
        std::string answer;
        if (!std::getline(std::cin, answer) || answer == "c" || answer == "C") {
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
