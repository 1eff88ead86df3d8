// What the encryption engine needs from whoever runs it: the progress
// window, the status window, the report list and the self-decrypting switch
// in the program; a terminal in the command-line companion; a recorder in the
// tests. The engine owns this interface and never sees a window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cipher/random.h"
#include "io/clock.h"

namespace tazu {

class EncryptHost {
  public:
    virtual ~EncryptHost() = default;

    // Adds to the value beside "Обработано байт:".
    virtual void AddBytesProcessed(std::int64_t count) = 0;
    // Adds 1 to the value beside "Файлов зашифровано:".
    virtual void AddFileEncrypted() = 0;
    // Lets pending window events run; an abort button may set
    // EncryptCancelled here.
    virtual void ProcessEvents() = 0;
    // Appends one line to the report list.
    virtual void AppendReport(const std::string& line) = 0;

    // The status window shown while the self-decrypting stub is copied. A
    // host without one (the command line, the tests) ignores these.
    virtual void ShowStatusWindow() {}
    virtual void SetStatusCaption(const std::string& /*text*/) {}
    virtual void SetStatusText(const std::string& /*text*/) {}
    virtual void SetStatusProgress(int /*position: 0 to 100, larger shows full*/) {}
    virtual void HideStatusWindow() {}

    // Turns the "Встроить саморасшифровщик." option off (the stub is missing).
    virtual void SwitchOffSelfDecrypting() {}
};

// The state of encryption runs, owned by the caller (the encrypt dialog, the
// command line) and kept across runs.
struct EncryptRunState {
    // Set to stop the run; the caller clears it before each run.
    bool EncryptCancelled = false;
    // Data blocks between progress updates; adapts towards one update every
    // 0.2 s and has no bounds.
    std::int32_t EncryptBlocksPerUpdate = kInitialBlocksPerUpdate;
    // The free space beside the archive when a write failed, measured while
    // the partial archive still took its room; empty when none failed.
    std::optional<std::uint64_t> free_at_failure;
};

// Result codes of an encryption run. 0 means no failure.
enum class EncryptCode : std::uint8_t {
    kOk = 0,
    kBadArgument = 1,       // an argument empty or unusable
    kWriteFailed = 2,       // the archive could not be created, or a write failed
    kCancelled = 3,         // stopped by the user
    kSourceUnreadable = 4,  // the chosen file or folder cannot be read
    kBadName = 5,           // the single file's name cannot be stored (the reader would refuse it)
    kStubMissing = 11,      // the self-decrypting stub is missing
};

// Everything a run reaches besides its arguments.
struct EncryptContext {
    EncryptRunState& state;
    EncryptHost& host;
    Random& random;
};

}  // namespace tazu
