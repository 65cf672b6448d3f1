#include "platform/AppendFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace zentor {

namespace {

constexpr mode_t kNewFileMode = 0666; // narrowed by the user's umask

// Takes the whole file for this open file description alone. False only when another
// description holds it; a file system that keeps no locks (some network shares) lets the file
// be written without one, as before locks existed.
bool holdForWriting(int fd)
{
    struct flock whole
    {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    whole.l_start = 0;
    whole.l_len = 0; // to the end, however far it grows
    while (::fcntl(fd, F_OFD_SETLK, &whole) != 0) {
        if (errno == EINTR)
            continue;
        return errno != EAGAIN && errno != EACCES;
    }
    return true;
}

} // namespace

AppendFile::~AppendFile()
{
    close();
}

AppendFile::Opened AppendFile::open(const std::string& path)
{
    close();
    // O_EXCL makes "is there a file?" and "create it" one step. Should the file vanish between
    // the two calls, the first is simply tried again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        fd_ = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd_ >= 0) {
            size_ = 0;
            // Another writer may have opened the new file and locked it first: it writes the
            // header then, as the file is empty.
            return holdForWriting(fd_) ? Opened::Created : refuseInUse();
        }
        if (errno != EEXIST)
            break;
        fd_ = ::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
        if (fd_ >= 0) {
            // The size is taken once the lock is held: before it, another writer may still add.
            if (!holdForWriting(fd_))
                return refuseInUse();
            struct stat st
            {};
            size_ = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) ? st.st_size : 0;
            return Opened::Existing;
        }
        if (errno != ENOENT)
            break;
    }
    setLastError();
    return Opened::Failed;
}

AppendFile::Opened AppendFile::refuseInUse()
{
    ::close(fd_);
    fd_ = -1;
    size_ = 0;
    lastError_ = "another program is writing it";
    return Opened::InUse;
}

bool AppendFile::isOpen() const
{
    return fd_ >= 0;
}

bool AppendFile::append(const std::uint8_t* data, std::size_t n)
{
    if (fd_ < 0) {
        lastError_ = "the file is not open";
        return false;
    }
    std::size_t done = 0;
    while (done < n) {
        const ssize_t written = ::write(fd_, data + done, n - done);
        if (written > 0) {
            // Only a signal or a full disk stops a write early; the rest goes after it.
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = EIO;
        setLastError();
        struct stat st
        {};
        if (done > 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_size >= static_cast<off_t>(done)) {
            // Cut the part that did get in back off, so the file still ends on a whole record.
            // The result is not checked: a failing disk may refuse this as well.
            [[maybe_unused]] const int cut =
                ::ftruncate(fd_, st.st_size - static_cast<off_t>(done));
        }
        return false;
    }
    size_ += static_cast<std::int64_t>(n);
    return true;
}

std::int64_t AppendFile::readAt(std::int64_t offset, std::uint8_t* out, std::size_t n)
{
    if (fd_ < 0) {
        lastError_ = "the file is not open";
        return -1;
    }
    std::size_t done = 0;
    while (done < n) {
        // pread leaves the file offset alone; O_APPEND puts every write at the end anyway.
        const ssize_t got = ::pread(fd_, out + done, n - done,
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got > 0) {
            done += static_cast<std::size_t>(got);
            continue;
        }
        if (got == 0)
            break;
        if (errno == EINTR)
            continue;
        setLastError();
        return -1;
    }
    return static_cast<std::int64_t>(done);
}

bool AppendFile::truncate(std::int64_t newSize)
{
    if (fd_ < 0) {
        lastError_ = "the file is not open";
        return false;
    }
    if (newSize < 0 || newSize > size_) {
        lastError_ = "a file is only cut to a size it has";
        return false;
    }
    while (::ftruncate(fd_, static_cast<off_t>(newSize)) != 0) {
        if (errno != EINTR) {
            setLastError();
            return false;
        }
    }
    size_ = newSize;
    return true;
}

bool AppendFile::sync()
{
    if (fd_ < 0)
        return true;
    for (;;) {
#ifdef __linux__
        const int result = ::fdatasync(fd_);
#else
        const int result = ::fsync(fd_);
#endif
        if (result == 0)
            return true;
        if (errno == EINTR)
            continue;
        // A device or a pipe that has nothing to sync.
        if (errno == EINVAL || errno == EROFS || errno == ENOTSUP)
            return true;
        setLastError();
        return false;
    }
}

bool AppendFile::close()
{
    if (fd_ < 0)
        return true;
    const int result = ::close(fd_);
    fd_ = -1;
    if (result != 0) {
        setLastError();
        return false;
    }
    return true;
}

bool AppendFile::exists(const std::string& path)
{
    struct stat st
    {};
    return ::stat(path.c_str(), &st) == 0;
}

std::int64_t AppendFile::sizeOnDisk(const std::string& path)
{
    struct stat st
    {};
    if (::stat(path.c_str(), &st) != 0)
        return -1;
    return st.st_size;
}

void AppendFile::setLastError()
{
    lastError_ = std::generic_category().message(errno);
}

} // namespace zentor
