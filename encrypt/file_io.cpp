#include "encrypt/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tazu {

FileReader::FileReader(std::size_t buffer_size)
    : capacity_(buffer_size), buffer_(new std::uint8_t[buffer_size]) {}

FileReader::~FileReader() {
    Close();
}

bool FileReader::Open(const std::filesystem::path& path) {
    Close();
    // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    fd_ = fd;
    begin_ = end_ = 0;
    eof_ = false;
    position_ = 0;
    return true;
}

bool FileReader::Seek(std::uint64_t offset) {
    if (fd_ < 0 || ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) {
        return false;
    }
    begin_ = end_ = 0;
    eof_ = false;
    return true;
}

void FileReader::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::size_t FileReader::Read(std::uint8_t* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        if (begin_ == end_) {
            if (eof_ || fd_ < 0) {
                break;
            }
            // Large requests bypass the buffer.
            if (count - done >= capacity_) {
                const ssize_t got = ::read(fd_, out + done, count - done);
                if (got < 0 && errno == EINTR) {
                    continue;
                }
                if (got <= 0) {
                    eof_ = true;
                    break;
                }
                done += static_cast<std::size_t>(got);
                continue;
            }
            const ssize_t got = ::read(fd_, buffer_.get(), capacity_);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                eof_ = true;  // a read error counts as the end of the data
                break;
            }
            begin_ = 0;
            end_ = static_cast<std::size_t>(got);
        }
        const std::size_t n = std::min(count - done, end_ - begin_);
        std::memcpy(out + done, buffer_.get() + begin_, n);
        begin_ += n;
        done += n;
    }
    position_ += done;
    return done;
}

FileWriter::FileWriter(std::size_t buffer_size)
    : capacity_(buffer_size), buffer_(new std::uint8_t[buffer_size]) {}

FileWriter::~FileWriter() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool FileWriter::Create(const std::filesystem::path& path, bool exclusive, unsigned mode) {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW;
    flags |= exclusive ? O_EXCL : O_TRUNC;
    const int fd = ::open(path.c_str(), flags, static_cast<mode_t>(mode));
    if (fd < 0) {
        return false;
    }
    fd_ = fd;
    used_ = 0;
    failed_ = false;
    return true;
}

namespace {

bool WriteAll(int fd, const std::uint8_t* data, std::size_t count) {
    while (count > 0) {
        const ssize_t put = ::write(fd, data, count);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        data += put;
        count -= static_cast<std::size_t>(put);
    }
    return true;
}

}  // namespace

bool FileWriter::Write(const std::uint8_t* data, std::size_t count) {
    if (failed_ || fd_ < 0) {
        failed_ = true;
        return false;
    }
    if (used_ + count > capacity_) {
        if (!Flush()) {
            return false;
        }
        if (count >= capacity_) {
            failed_ = !WriteAll(fd_, data, count);
            return !failed_;
        }
    }
    std::memcpy(buffer_.get() + used_, data, count);
    used_ += count;
    return true;
}

bool FileWriter::Flush() {
    if (failed_ || fd_ < 0) {
        failed_ = true;
        return false;
    }
    if (used_ > 0) {
        failed_ = !WriteAll(fd_, buffer_.get(), used_);
        used_ = 0;
    }
    return !failed_;
}

bool FileWriter::Sync() {
    return Flush() && ::fsync(fd_) == 0;
}

bool FileWriter::Close() {
    if (fd_ < 0) {
        return !failed_;
    }
    const bool flushed = Flush();
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return flushed && closed;
}

bool ReadChunk(InputStream& source, std::size_t n, Str255& chunk) {
    n = std::min(n, Str255::kCapacity);
    chunk.resize(n);
    const std::size_t got = source.Read(chunk.data(), n);
    chunk.resize(got);
    return got == n;
}

bool WriteRawBytes(const Str255& s, OutputStream& out) {
    return s.empty() || out.Write(s.data(), s.size());
}

bool WriteByte(std::uint8_t b, OutputStream& out) {
    return out.Write(&b, 1);
}

}  // namespace tazu
