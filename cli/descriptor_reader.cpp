#include "cli/descriptor_reader.h"

#include <unistd.h>

#include <cerrno>

#include "cli/common.h"

namespace tazu::cli {

std::size_t DescriptorReader::Read(std::uint8_t* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count && !failed_ && !interrupted_) {
        const ssize_t got = ::read(fd_, out + done, count - done);
        if (got < 0 && errno == EINTR) {
            if (Interrupted()) {
                interrupted_ = true;  // Ctrl-C while waiting for input: stop here
                break;
            }
            continue;
        }
        if (got < 0) {
            failed_ = true;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

}  // namespace tazu::cli
