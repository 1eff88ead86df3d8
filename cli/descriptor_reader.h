// An input stream over a descriptor that need not be a regular file (a
// pipe, a terminal): standard input as a source or an archive.
#pragma once

#include <cstddef>
#include <cstdint>

#include "io/file_io.h"

namespace tazu::cli {

class DescriptorReader final : public InputStream {
  public:
    explicit DescriptorReader(int fd) : fd_(fd) {}
    // Reads until count bytes came, the data end, or Ctrl-C interrupts a
    // wait for input. A pipe is widened at the first read, so that large
    // reads take more at a time.
    std::size_t Read(std::uint8_t* out, std::size_t count) override;
    bool Failed() const { return failed_; }
    bool Interrupted() const { return interrupted_; }

  private:
    int fd_;
    bool failed_ = false;
    bool interrupted_ = false;
    bool widened_ = false;
};

}  // namespace tazu::cli
