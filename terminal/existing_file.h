// The question the command line and the stub ask on the terminal when a
// file to extract exists. Each side words the choices in its own language.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "decrypt/decrypt_host.h"

namespace tazu::terminal {

// Shows "Файл уже существует: <path>" and, on the next line, choices, then
// reads answers from standard input until one is r (replace), s (skip) or
// c (cancel); R and S also set for_all, to answer the same for every later
// file. The end of input cancels. Asks on out (standard error unless
// given) and reads the answers from standard input (ReadAnswerLine).
ExistingFileChoice AskExistingFile(const std::string& path, std::string_view choices, bool& for_all,
                                   std::FILE* out = stderr);

}  // namespace tazu::terminal
