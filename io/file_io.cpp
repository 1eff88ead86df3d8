#include "io/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "io/native.h"

namespace tazu {
namespace {

// A file longer than this many buffers is read ahead on the worker thread.
constexpr int kReadAheadAfter = 2;
// A read of at least this many bytes with nothing buffered bypasses the
// buffer.
constexpr std::size_t kDirectReadFrom = 64 * 1024;
// Room on disk is set aside for a file once it has this much, and this much
// ahead of its writes at a time.
constexpr std::uint64_t kSetAsideFrom = std::uint64_t{8} << 20;
constexpr std::uint64_t kSetAsideStep = std::uint64_t{32} << 20;

bool WriteAll(int fd, const std::uint8_t* data, std::size_t count) {
    while (count > 0) {
        const long put = WriteSome(fd, data, count);
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

// A read error reads as the end of the file.
long ReadFull(int fd, std::uint8_t* out, std::size_t count, std::size_t enough = 0,
              bool (*stop)() = nullptr) {
    return static_cast<long>(ReadFully(fd, out, count, enough, stop).count);
}

}  // namespace

ReadResult ReadFully(int fd, std::uint8_t* out, std::size_t count, std::size_t enough,
                     bool (*stop)()) {
    ReadResult result;
    while (result.count < count && (enough == 0 || result.count < enough)) {
        const long got = ReadSome(fd, out + result.count, count - result.count);
        if (got < 0 && errno == EINTR) {
            if (stop != nullptr && stop()) {
                result.stopped = true;
                break;
            }
            continue;
        }
        result.failed = got < 0;
        if (got <= 0) {
            break;
        }
        result.count += static_cast<std::size_t>(got);
    }
    return result;
}

FileReader::FileReader(std::size_t buffer_size)
    : capacity_(buffer_size), buffer_room_{buffer_size, buffer_size} {
    buffers_[0].reset(new std::uint8_t[buffer_size]);
}

FileReader::~FileReader() {
    Close();
}

bool FileReader::Open(const Path& path) {
    Close();
    std::uint64_t size = 0;
    const int fd = OpenRegularFile(path, &size);
    if (fd < 0) {
        return false;
    }
    if (size > capacity_) {
        AdviseSequential(fd);
    }
    size_at_open_ = size;
    fd_ = fd;
    begin_ = end_ = 0;
    eof_ = false;
    position_ = 0;
    refills_ = 0;
    adopted_ = false;
    return true;
}

void FileReader::Adopt(int fd, bool (*stop)()) {
    Close();
    if (fd >= 0) {
        WidenPipe(fd);
    }
    fd_ = fd;
    size_at_open_ = 0;
    begin_ = end_ = 0;
    eof_ = fd < 0;
    position_ = 0;
    refills_ = 0;
    adopted_ = true;
    stop_ = stop;
}

void FileReader::StopReadAhead() {
    worker_.Wait();
    ahead_pending_ = false;
}

bool FileReader::Seek(std::uint64_t offset) {
    StopReadAhead();
    if (fd_ < 0 || !SeekFile(fd_, offset)) {
        return false;
    }
    begin_ = end_ = 0;
    eof_ = false;
    position_ = offset;
    refills_ = 0;
    size_at_open_ = 0;
    return true;
}

void FileReader::Close() {
    StopReadAhead();
    worker_.Stop();
    if (fd_ >= 0) {
        CloseFile(fd_);
        fd_ = -1;
    }
}

bool FileReader::Refill() {
    if (eof_ || fd_ < 0) {
        return false;
    }
    long got = 0;
    if (ahead_pending_) {
        worker_.Wait();
        ahead_pending_ = false;
        current_ = 1 - current_;
        got = ahead_got_;
    } else {
        // A small file is read whole in one call, without a second read
        // that only finds the end.
        const bool small = refills_ == 0 && size_at_open_ > 0 && size_at_open_ < capacity_;
        got = ReadFull(fd_, buffers_[current_].get(), capacity_,
                       small ? static_cast<std::size_t>(size_at_open_) : 0, stop_);
    }
    begin_ = 0;
    end_ = static_cast<std::size_t>(got);
    if (got < static_cast<long>(capacity_)) {
        eof_ = true;  // a short read is the end; nothing to read ahead
    } else if (++refills_ >= kReadAheadAfter && read_ahead_ && !adopted_) {
        // A file longer than two buffers: read the next one while this one
        // is being used.
        if (!buffers_[1]) {
            buffers_[1].reset(new std::uint8_t[capacity_]);
        }
        std::uint8_t* next = buffers_[1 - current_].get();
        ahead_pending_ = true;
        worker_.Submit([this, next] { ahead_got_ = ReadFull(fd_, next, capacity_); });
    }
    return end_ > 0;
}

std::size_t FileReader::Read(std::uint8_t* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        if (begin_ == end_) {
            if (count - done >= kDirectReadFrom && !ahead_pending_ && !eof_ && fd_ >= 0) {
                // Nothing buffered and a large read: straight into the
                // caller's memory, saving a copy. A file smaller than that
                // is read whole without a second call that only finds its
                // end, as in Refill.
                const std::size_t want = count - done;
                const bool small =
                    position_ + done == 0 && size_at_open_ > 0 && size_at_open_ < want;
                const std::size_t rest = small ? static_cast<std::size_t>(size_at_open_) : 0;
                const auto got =
                    static_cast<std::size_t>(ReadFull(fd_, out + done, want, rest, stop_));
                done += got;
                eof_ = got < want;
                break;
            }
            if (!Refill()) {
                break;
            }
        }
        const std::size_t n = std::min(count - done, end_ - begin_);
        std::memcpy(out + done, buffers_[current_].get() + begin_, n);
        begin_ += n;
        done += n;
    }
    position_ += done;
    return done;
}

std::size_t FileReader::Peek(std::size_t count, const std::uint8_t** data) {
    if (begin_ == end_ && !Refill()) {
        *data = nullptr;
        return 0;
    }
    *data = buffers_[current_].get() + begin_;
    return std::min(count, end_ - begin_);
}

void FileReader::PutBack(const std::uint8_t* data, std::size_t n) {
    std::uint8_t* buffer = buffers_[current_].get();
    if (n <= begin_) {
        begin_ -= n;
    } else {
        // In front of what is still buffered, in a larger buffer when this
        // one has no room (bytes taken by a large read may be more than it
        // holds).
        const std::size_t buffered = end_ - begin_;
        if (n + buffered > buffer_room_[current_]) {
            std::unique_ptr<std::uint8_t[]> larger(new std::uint8_t[n + buffered]);
            std::memcpy(larger.get() + n, buffer + begin_, buffered);
            buffers_[current_] = std::move(larger);
            buffer_room_[current_] = n + buffered;
            buffer = buffers_[current_].get();
        } else {
            std::memmove(buffer + n, buffer + begin_, buffered);
        }
        begin_ = 0;
        end_ = n + buffered;
    }
    std::memcpy(buffer + begin_, data, n);
    position_ -= n;
}

void FileReader::Consume(std::size_t n) {
    n = std::min(n, end_ - begin_);
    begin_ += n;
    position_ += n;
}

FileWriter::FileWriter(std::size_t buffer_size) : capacity_(buffer_size) {
    buffers_[0].reset(new std::uint8_t[buffer_size]);
}

FileWriter::~FileWriter() {
    worker_.Stop();
    sync_ahead_.Finish();
    if (fd_ >= 0) {
        CloseFile(fd_);
    }
}

bool FileWriter::Create(const Path& path, bool exclusive, unsigned mode) {
    const int fd = CreateFileForWriting(path, exclusive, mode);
    if (fd < 0) {
        return false;
    }
    Adopt(fd);
    return true;
}

void FileWriter::Adopt(int fd) {
    worker_.Stop();
    sync_ahead_.Finish();
    if (fd_ >= 0) {
        CloseFile(fd_);
    }
    fd_ = fd;
    used_ = 0;
    failed_ = false;
    worker_failed_ = false;
    submits_ = 0;
    written_ = 0;
    room_until_ = 0;
    set_aside_ = false;
    room_asked_ = false;
    completed_ = false;
}

bool FileWriter::WriteOut(const std::uint8_t* data, std::size_t count) {
    const std::uint64_t end = written_ + count;
    if (set_aside_ && end > room_until_ && end >= kSetAsideFrom) {
        const std::uint64_t from = std::max(room_until_, written_);
        const std::uint64_t until = end + kSetAsideStep;
        // Only a help: where room cannot be set aside, the writes go on
        // without it (and a full disk fails them as ever).
        room_asked_ = true;
        set_aside_ = SetAsideRoom(fd_, from, until - from);
        if (set_aside_) {
            room_until_ = until;
        }
    }
    if (!WriteAll(fd_, data, count)) {
        return false;
    }
    written_ = end;
    sync_ahead_.Written(written_);
    return true;
}

void FileWriter::Settle() {
    worker_.Wait();
    failed_ = failed_ || worker_failed_;
}

bool FileWriter::Submit() {
    if (used_ == 0) {
        return !failed_;
    }
    if (submits_++ == 0) {
        failed_ = !WriteOut(buffers_[current_].get(), used_);
        used_ = 0;
        return !failed_;
    }
    Settle();
    if (failed_) {
        return false;
    }
    if (!buffers_[1]) {
        buffers_[1].reset(new std::uint8_t[capacity_]);
    }
    const std::uint8_t* data = buffers_[current_].get();
    const std::size_t size = used_;
    worker_.Submit([this, data, size] { worker_failed_ = !WriteOut(data, size); });
    current_ = 1 - current_;
    used_ = 0;
    return true;
}

bool FileWriter::Write(const std::uint8_t* data, std::size_t count) {
    if (failed_ || fd_ < 0 || completed_) {
        failed_ = true;
        return false;
    }
    if (count >= capacity_) {
        return WriteThrough(data, count);
    }
    while (count > 0) {
        if (used_ == capacity_ && !Submit()) {
            return false;
        }
        const std::size_t n = std::min(count, capacity_ - used_);
        std::memcpy(buffers_[current_].get() + used_, data, n);
        used_ += n;
        data += n;
        count -= n;
    }
    return true;
}

bool FileWriter::WriteThrough(const std::uint8_t* data, std::size_t count) {
    // What is buffered goes first, and the worker's write must be done.
    if (!Submit()) {
        return false;
    }
    Settle();
    if (failed_) {
        return false;
    }
    failed_ = !WriteOut(data, count);
    ++submits_;
    return !failed_;
}

std::uint8_t* FileWriter::Reserve(std::size_t count) {
    if (failed_ || fd_ < 0 || completed_ || count > capacity_) {
        return nullptr;
    }
    if (used_ + count > capacity_ && !Submit()) {
        return nullptr;
    }
    return buffers_[current_].get() + used_;
}

void FileWriter::Commit(std::size_t count) {
    used_ = std::min(capacity_, used_ + count);
}

bool FileWriter::Flush() {
    if (fd_ < 0) {
        failed_ = true;
        return false;
    }
    Submit();
    Settle();
    return !failed_;
}

bool FileWriter::Complete(bool sync) {
    if (fd_ < 0 || completed_) {
        return !failed_;
    }
    completed_ = true;
    const bool flushed = Flush();
    worker_.Stop();
    // A sync that failed on the way lost data that the last one would not
    // see again.
    const bool synced_ahead = sync_ahead_.Finish();
    if (room_asked_) {
        // The room set aside past the end, also what a refused request may
        // have set aside before running out; before a sync, so that the
        // file on disk is the one synced.
        CutFile(fd_, written_);
    }
    const bool synced = !sync || (flushed && synced_ahead && SyncFile(fd_));
    failed_ = !(flushed && synced_ahead && synced);
    return !failed_;
}

bool FileWriter::Close(bool sync) {
    if (fd_ < 0) {
        return !failed_;
    }
    const bool completed = Complete(sync);
    const bool closed = CloseFile(fd_);
    fd_ = -1;
    return completed && closed;
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
