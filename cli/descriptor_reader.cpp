#include "cli/descriptor_reader.h"

#include "cli/command_line.h"
#include "io/native.h"

namespace tazu::cli {

std::size_t DescriptorReader::Read(std::uint8_t* out, std::size_t count) {
    if (failed_ || interrupted_) {
        return 0;
    }
    if (!widened_) {
        // Only once it is read from: standard input may be there unused.
        WidenPipe(fd_);
        widened_ = true;
    }
    // Ctrl-C while waiting for input stops it there.
    const ReadResult read = ReadFully(fd_, out, count, 0, terminal::Interrupted);
    failed_ = read.failed;
    interrupted_ = read.stopped;
    return read.count;
}

}  // namespace tazu::cli
