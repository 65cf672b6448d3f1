#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zentor {

// A file that grows at its end, written so that a crash leaves it readable: every append reaches
// the operating system in one write call, a failed append is cut back off the file, and sync()
// pushes what was written to the device. What is in the file can be read back, and its end cut
// off, before appending goes on. POSIX open/pread/write/ftruncate/fdatasync, or the Win32
// CreateFileW/ReadFile/WriteFile/SetEndOfFile/FlushFileBuffers calls.
//
// Names are UTF-8 text. One thread uses an object; the static queries may be called from any
// thread.
class AppendFile
{
public:
    enum class Opened
    {
        Created,  // there was no file of that name: an empty one was made
        Existing, // the file was there and is appended to
        InUse,    // another writer holds the file (in this or another process): not opened
        Failed,   // not opened; lastError() says why
    };

    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Creates the file when no file of that name exists, otherwise opens it for appending (and
    // reading). The check and the creation are one step, so two writers never both see Created.
    // The file is then held for this object alone until it is closed or the process ends, so
    // that two writers never interleave their bytes in one file; readers may still read it.
    // Linux: an exclusive open-file-description lock (F_OFD_SETLK) on the whole file, which
    // closing another descriptor of the file in the process does not release; on a file
    // system without locks the file is written unlocked. Windows: the share mode lets others
    // read, not write. InUse, nothing held, when another writer has it.
    Opened open(const std::string& path);
    bool isOpen() const;

    // Appends all n bytes or none of them. They go to the operating system in one write, so a
    // process killed between appends never leaves part of one in the file. An append that fails
    // part-way (disk full, file size limit) is cut back off; false then, with lastError() set.
    bool append(const std::uint8_t* data, std::size_t n);

    // Reads up to n bytes from `offset` into `out`, without moving where appends go. Returns the
    // count read, fewer than n only at the end of the file (0 at or past it); -1 when the file is
    // not open or the read failed, with lastError() set.
    std::int64_t readAt(std::int64_t offset, std::uint8_t* out, std::size_t n);

    // Cuts the file to its first `newSize` bytes, so that appends go on from there. A size below
    // 0 or above size() is refused. False, with lastError() set, when it could not be done; the
    // file is then as it was.
    bool truncate(std::int64_t newSize);

    // Pushes the appended bytes to the device. False when the device reported an error; a file
    // that cannot be synced at all (a character device, a pipe) counts as synced.
    bool sync();

    // Closes the file; false when the operating system reported an error while closing.
    bool close();

    // Bytes in the file as this object has seen it: its size when opened, plus what was appended,
    // less what was cut off.
    std::int64_t size() const { return size_; }

    // The operating system's text for the last failure.
    const std::string& lastError() const { return lastError_; }

    static bool exists(const std::string& path);
    // The size of the named file on disk in bytes; -1 when there is no such file.
    static std::int64_t sizeOnDisk(const std::string& path);

private:
    void setLastError();
    // Gives up the file another writer holds: InUse, with lastError() saying so.
    Opened refuseInUse();

#ifdef _WIN32
    void* handle_ = nullptr; // a HANDLE; null when not open
#else
    int fd_ = -1;
#endif
    std::int64_t size_ = 0;
    std::string lastError_;
};

} // namespace zentor
