// The system's side of the terminal for password prompts, with a POSIX
// implementation (console_posix.cpp) and a Windows one (console_windows.cpp).
#pragma once

#include <string>
#include <string_view>

namespace tazu::terminal {

// The terminal to ask on, open for reading and writing (the controlling
// terminal; the console on Windows); -1 when the process has none.
int OpenTerminal();
void CloseTerminal(int fd);
void WriteTerminal(int fd, std::string_view text);

// Reads one byte of what is typed on fd (a terminal, or standard input of
// any kind): 1, 0 at the end, or -1 with errno set. On a Windows console
// the typed characters come as their UTF-8 bytes, as on a POSIX terminal.
long ReadTypedByte(int fd, char* out);

// A file to read a password from, by its name as given (on Windows UTF-8);
// -1 with errno set when it cannot be opened.
int OpenPasswordFile(const std::string& name);

// Typing on the terminal open as fd is not echoed for as long as this
// lives; the terminal's settings come back on every way out, a signal that
// ends the process included.
class EchoOff {
  public:
    explicit EchoOff(int fd);
    ~EchoOff();
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    int fd_;
    unsigned long saved_mode_ = 0;  // the console's mode (Windows)
};

}  // namespace tazu::terminal
