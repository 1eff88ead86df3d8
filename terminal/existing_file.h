// The question the command line and the stub ask on the terminal when a
// file to extract exists, in the language chosen at start-up.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "decrypt/decrypt_host.h"
#include "format/language.h"

namespace tazu::terminal {

// Shows "Файл уже существует: <path>" and, on the next line, choices, then
// reads answers from standard input until one is r (replace), s (skip) or
// c (cancel); R and S also set for_all, to answer the same for every later
// file. The end of input cancels. Asks on out (standard error unless
// given) and reads the answers from standard input (ReadAnswerLine).
ExistingFileChoice AskExistingFile(const std::string& path, std::string_view choices, bool& for_all,
                                   std::FILE* out = stderr);

// The choices both sides offer (through Tr()).
inline constexpr std::string_view kExistingFileChoices = TextKey(
    "[r] заменить, [s] пропустить, [c] отменить расшифровывание; R или S - для всех файлов: ");

}  // namespace tazu::terminal
