// Buffered byte streams over files, with fixed buffers so memory does not
// grow with file size. Every short write is a failure, and a failure sticks:
// once a write failed, every later write and Close() report failure too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "cipher/str255.h"
#include "io/io_worker.h"
#include "io/path.h"
#include "io/sync_ahead.h"

namespace tazu {

inline constexpr std::size_t kFileBufferSize = 1 << 18;
// For the one large file a run streams through (the archive being read, a
// file being encrypted): reading ahead in steps of 1 MiB takes a quarter of
// the hand-overs to the worker thread.
inline constexpr std::size_t kStreamBufferSize = 1 << 20;

class InputStream {
  public:
    virtual ~InputStream() = default;
    // Reads up to count bytes; fewer only at the end of the data or on a
    // read error (which reads as the end).
    virtual std::size_t Read(std::uint8_t* out, std::size_t count) = 0;
    // The next bytes without copying them: points *data at up to count
    // buffered bytes and returns how many (0 for a stream without a buffer
    // of its own); Consume(n) then moves past n of them.
    virtual std::size_t Peek(std::size_t /*count*/, const std::uint8_t** data) {
        *data = nullptr;
        return 0;
    }
    virtual void Consume(std::size_t /*n*/) {}
    // Whether PutBack works: puts the last n bytes taken from the stream
    // (data holds them) back in front of what follows, to be read again.
    virtual bool CanPutBack() const { return false; }
    virtual void PutBack(const std::uint8_t* /*data*/, std::size_t /*n*/) {}
    // Whether the stream may read ahead on a thread of its own. The block
    // pipelines turn it off while their threads keep the processors
    // busy: with no read ahead pending, the caller's large reads go
    // straight into its batches, and no thread hand-over is paid per
    // buffer.
    virtual void AllowReadAhead(bool /*allowed*/) {}
};

// Turns an input's read-ahead off for a scope.
class NoReadAhead {
  public:
    explicit NoReadAhead(InputStream& input) : input_(input) { input_.AllowReadAhead(false); }
    ~NoReadAhead() { input_.AllowReadAhead(true); }
    NoReadAhead(const NoReadAhead&) = delete;
    NoReadAhead& operator=(const NoReadAhead&) = delete;

  private:
    InputStream& input_;
};

class OutputStream {
  public:
    virtual ~OutputStream() = default;
    // Writes all count bytes, or returns false.
    virtual bool Write(const std::uint8_t* data, std::size_t count) = 0;
    // Pushes buffered bytes to their destination.
    virtual bool Flush() = 0;
    // Room for count bytes to be written in place: a pointer into the
    // stream's buffer, or null (no buffer, or a failed stream), in which
    // case Write is the way. Commit(count) then adds the bytes written.
    virtual std::uint8_t* Reserve(std::size_t /*count*/) { return nullptr; }
    virtual void Commit(std::size_t /*count*/) {}
};

class FileReader final : public InputStream {
  public:
    explicit FileReader(std::size_t buffer_size = kFileBufferSize);
    ~FileReader() override;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Opens read-only. Fails for anything that is not a regular file, so a
    // FIFO or a device is never opened for reading by mistake.
    bool Open(const Path& path);
    // Takes over a descriptor that need not be a regular file (standard
    // input, a pipe), read through the same buffers; it is closed with the
    // reader. A wait for input that a signal interrupts ends the data when
    // stop() says so. Such a stream is never read ahead: a signal must find
    // the wait on the calling thread.
    void Adopt(int fd, bool (*stop)() = nullptr);
    void Close();
    // Moves the read position to offset bytes from the start of the file.
    bool Seek(std::uint64_t offset);
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    // Bytes handed out by Read() so far.
    std::uint64_t Position() const { return position_; }

    std::size_t Read(std::uint8_t* out, std::size_t count) override;
    std::size_t Peek(std::size_t count, const std::uint8_t** data) override;
    void Consume(std::size_t n) override;
    bool CanPutBack() const override { return true; }
    void PutBack(const std::uint8_t* data, std::size_t n) override;
    void AllowReadAhead(bool allowed) override { read_ahead_ = allowed; }

  private:
    // Makes the next buffer current; false at the end of the data.
    bool Refill();
    void StopReadAhead();

    int fd_ = -1;
    std::size_t capacity_;
    // Two buffers: the one being drained and, for files longer than one
    // buffer, the next one, filled by the worker in the meantime.
    std::unique_ptr<std::uint8_t[]> buffers_[2];
    std::size_t buffer_room_[2];  // capacity_, or more after a PutBack
    int current_ = 0;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    std::uint64_t position_ = 0;
    int refills_ = 0;
    std::uint64_t size_at_open_ = 0;  // lets a small file be read in one call
    IoWorker worker_;
    bool read_ahead_ = true;
    bool adopted_ = false;
    bool (*stop_)() = nullptr;
    bool ahead_pending_ = false;
    long ahead_got_ = 0;  // written by the worker, read after Wait()
};

class FileWriter final : public OutputStream {
  public:
    explicit FileWriter(std::size_t buffer_size = kFileBufferSize);
    ~FileWriter() override;  // closes without reporting; call Close() to know
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Creates the file, or truncates an existing one. With exclusive, an
    // existing path (also a symbolic link) makes it fail instead. Never
    // follows a symbolic link at the final path component.
    bool Create(const Path& path, bool exclusive = false, unsigned mode = 0666);
    // Takes over a descriptor already open for writing (and closes it).
    void Adopt(int fd);
    bool Write(const std::uint8_t* data, std::size_t count) override;
    bool Flush() override;
    std::uint8_t* Reserve(std::size_t count) override;
    void Commit(std::size_t count) override;
    // For a new file of this program's own: once it is large, room on disk
    // is set aside ahead of its writes, some MiB at a time, which spares the
    // file system finding room for every page written (about a fifth of a
    // large copy's system time). Close() gives back what was set aside
    // past the end.
    void SetAsideRoomAhead() { set_aside_ = true; }
    // For a file that will be synced: the disk is kept writing it while it
    // is written, and what is written is synced on a thread of its own
    // every some MiB (see SyncAhead), so the sync at the close finds
    // little left to write and the pages waiting for the disk stay few.
    void StartWritebackAhead() { sync_ahead_.Follow(fd_); }
    // Flushes and closes; with sync, the file's data (and its length) are
    // written through to the disk first. False when anything written was
    // lost.
    bool Close(bool sync = false);
    // Everything Close does but the closing: the file stays open for a last
    // step on its descriptor (an unnamed file gets its name so). Nothing can
    // be written after it; Close() then only closes.
    bool Complete(bool sync = false);
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    bool Failed() const { return failed_; }

  private:
    // Hands the filled buffer to the disk: directly for the first one, through
    // the worker (overlapping with the caller's work) from the second on.
    bool Submit();
    // Waits for the worker's write and takes over its outcome.
    void Settle();
    // A write of a buffer's size or more goes straight from the caller's
    // memory to the file, on the caller's thread, after what is buffered:
    // a batch of blocks is then one system call with no hand-over to the
    // worker (the block pipelines keep the other cores busy meanwhile).
    bool WriteThrough(const std::uint8_t* data, std::size_t count);
    // Every write to the file, on whichever thread: sets room aside first
    // when it is time to, and starts the writeback of what it completes.
    bool WriteOut(const std::uint8_t* data, std::size_t count);

    int fd_ = -1;
    std::size_t capacity_;
    std::unique_ptr<std::uint8_t[]> buffers_[2];
    int current_ = 0;
    std::size_t used_ = 0;
    bool failed_ = false;
    int submits_ = 0;
    // What WriteOut wrote, and how far room is set aside (0: none).
    std::uint64_t written_ = 0;
    std::uint64_t room_until_ = 0;
    bool set_aside_ = false;
    bool room_asked_ = false;
    bool completed_ = false;
    SyncAhead sync_ahead_;
    IoWorker worker_;
    bool worker_failed_ = false;  // written by the worker, read after Wait()
};

// What ReadFully read.
struct ReadResult {
    std::size_t count = 0;  // the bytes that came
    bool failed = false;    // a read failed; the bytes before it are in
    bool stopped = false;   // stop ended it after a signal
};

// Reads from fd until count bytes came, the end of the data or an error. A
// read interrupted by a signal is repeated, unless stop (when given) then
// returns true. Ends early once `enough` bytes came (0: no such limit).
ReadResult ReadFully(int fd, std::uint8_t* out, std::size_t count, std::size_t enough = 0,
                     bool (*stop)() = nullptr);

// Reads up to n bytes (at most 255) into chunk; true when all n came.
bool ReadChunk(InputStream& source, std::size_t n, Str255& chunk);

// Writes the content bytes of s (not its length); true when all were
// written. An empty s writes nothing and succeeds.
bool WriteRawBytes(const Str255& s, OutputStream& out);
bool WriteByte(std::uint8_t b, OutputStream& out);

}  // namespace tazu
