#include "cli/descriptor_reader.h"

#include <unistd.h>

#include <cerrno>

namespace tazu::cli {

std::size_t DescriptorReader::Read(std::uint8_t* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count && !failed_) {
        const ssize_t got = ::read(fd_, out + done, count - done);
        if (got < 0 && errno == EINTR) {
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
