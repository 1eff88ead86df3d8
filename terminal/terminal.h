// What the command-line companion and the stub share on the terminal: which
// standard streams are terminals, Ctrl-C handling, the progress line, and
// escaping what is shown of a name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tazu::terminal {

// The program's arguments, argv[0] included: as given on POSIX systems; on
// Windows from the UTF-16 command line as UTF-8, whatever the code page
// (which also switches the console to UTF-8 output).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// A byte count for people: "512 B", "1.5 KiB", "3.2 GiB" (in the chosen
// language).
std::string HumanBytes(double bytes);

// The columns text takes on a terminal: its characters, not its bytes
// (Russian letters are two bytes of UTF-8 each).
std::size_t DisplayWidth(std::string_view text);

// Reads one line of standard input, byte by byte so that nothing after it
// is consumed, without its line end ("\n" or "\r\n"); false at the end of
// the input before any byte.
bool ReadAnswerLine(std::string& line);

bool StdinIsTerminal();
// True when the process has a controlling terminal to ask on.
bool HasTerminal();
bool StderrIsTerminal();
bool StdoutIsTerminal();

// The width of the terminal standard error shows on, in columns; 0 when
// it is not a terminal or does not say.
int TerminalColumns();

// Whether a progress line is on the terminal now: a SIGPIPE that ends the
// process first clears it.
void NoteProgressLineShown(bool shown);

// Ctrl-C sets a flag instead of killing the process, so a run can stop
// cleanly and remove what it was writing.
void InstallInterruptHandler();
bool Interrupted();

// One self-rewriting status line on standard error (only when it is a
// terminal): when the total is known a bar, the percentage and the time
// left; always the bytes, the rate and the files handled.
class ProgressLine {
  public:
    // shown false: never drawn (a quiet run).
    explicit ProgressLine(std::uint64_t total_bytes = 0, bool shown = true);
    void Update(std::uint64_t bytes, std::uint64_t files);
    void Finish();

  private:
    bool enabled_;
    std::uint64_t total_;
    double start_;
    double last_ = 0;
    bool drawn_ = false;
};

// What a terminal shows of a name or a message holding one: VisibleText
// (io/stored_name.h), the rule the windows use too.
std::string Escaped(std::string_view text);

}  // namespace tazu::terminal
