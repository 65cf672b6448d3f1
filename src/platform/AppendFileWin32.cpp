#include "platform/AppendFile.h"

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <system_error>
#include <windows.h>

namespace zentor {

namespace {

// The largest piece one ReadFile or WriteFile call takes (its count is a DWORD).
constexpr std::size_t kMaxIoChunk = 0x40000000;

std::wstring widePath(const std::string& path)
{
    if (path.empty())
        return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
    return wide;
}

HANDLE handleOf(void* h)
{
    return static_cast<HANDLE>(h);
}

// Moves the file pointer, where the next write goes, to byte `at`.
bool seekTo(void* h, std::int64_t at)
{
    LARGE_INTEGER where{};
    where.QuadPart = at;
    return SetFilePointerEx(handleOf(h), where, nullptr, FILE_BEGIN) != 0;
}

} // namespace

AppendFile::~AppendFile()
{
    close();
}

AppendFile::Opened AppendFile::open(const std::string& path)
{
    close();
    const std::wstring wide = widePath(path);
    // CREATE_NEW makes "is there a file?" and "create it" one step. Readers may look at the
    // file while it is written; nobody else may write it.
    for (int attempt = 0; attempt < 2; ++attempt) {
        HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            handle_ = h;
            size_ = 0;
            return Opened::Created;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            break;
        h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            LARGE_INTEGER end{};
            LARGE_INTEGER zero{};
            if (!SetFilePointerEx(h, zero, &end, FILE_END)) {
                setLastError();
                CloseHandle(h);
                return Opened::Failed;
            }
            handle_ = h;
            size_ = end.QuadPart;
            return Opened::Existing;
        }
        // Another program that has the file open for writing shares it for reading only.
        if (GetLastError() == ERROR_SHARING_VIOLATION)
            return refuseInUse();
        if (GetLastError() != ERROR_FILE_NOT_FOUND)
            break;
    }
    setLastError();
    return Opened::Failed;
}

AppendFile::Opened AppendFile::refuseInUse()
{
    handle_ = nullptr;
    size_ = 0;
    lastError_ = "another program is writing it";
    return Opened::InUse;
}

bool AppendFile::isOpen() const
{
    return handle_ != nullptr;
}

bool AppendFile::append(const std::uint8_t* data, std::size_t n)
{
    if (!handle_) {
        lastError_ = "the file is not open";
        return false;
    }
    std::size_t done = 0;
    while (done < n) {
        const std::size_t chunk = n - done < kMaxIoChunk ? n - done : kMaxIoChunk;
        DWORD written = 0;
        const BOOL ok =
            WriteFile(handleOf(handle_), data + done, static_cast<DWORD>(chunk), &written, nullptr);
        if (ok && written > 0) {
            done += written;
            continue;
        }
        if (ok) // nothing written and no error given
            SetLastError(ERROR_WRITE_FAULT);
        setLastError();
        if (done > 0) {
            // Cut the part that did get in back off, so the file still ends on a whole record.
            if (seekTo(handle_, size_))
                SetEndOfFile(handleOf(handle_));
        }
        return false;
    }
    size_ += static_cast<std::int64_t>(n);
    return true;
}

std::int64_t AppendFile::readAt(std::int64_t offset, std::uint8_t* out, std::size_t n)
{
    if (!handle_) {
        lastError_ = "the file is not open";
        return -1;
    }
    std::size_t done = 0;
    bool failed = false;
    while (done < n) {
        const std::size_t chunk = n - done < kMaxIoChunk ? n - done : kMaxIoChunk;
        const auto at = static_cast<std::uint64_t>(offset) + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD got = 0;
        if (!ReadFile(handleOf(handle_), out + done, static_cast<DWORD>(chunk), &got, &where)) {
            if (GetLastError() != ERROR_HANDLE_EOF) {
                setLastError();
                failed = true;
            }
            break;
        }
        if (got == 0)
            break;
        done += got;
    }
    // On a handle opened without FILE_FLAG_OVERLAPPED a read at an offset moves the file pointer
    // too, and appends go where it points: it goes back to the end.
    if (!seekTo(handle_, size_) && !failed) {
        setLastError();
        failed = true;
    }
    return failed ? -1 : static_cast<std::int64_t>(done);
}

bool AppendFile::truncate(std::int64_t newSize)
{
    if (!handle_) {
        lastError_ = "the file is not open";
        return false;
    }
    if (newSize < 0 || newSize > size_) {
        lastError_ = "a file is only cut to a size it has";
        return false;
    }
    // SetEndOfFile cuts the file where the pointer is, which is then where appends go on.
    if (!seekTo(handle_, newSize) || !SetEndOfFile(handleOf(handle_))) {
        setLastError();
        seekTo(handle_, size_);
        return false;
    }
    size_ = newSize;
    return true;
}

bool AppendFile::sync()
{
    if (!handle_)
        return true;
    if (FlushFileBuffers(handleOf(handle_)))
        return true;
    // A device or a pipe that has nothing to sync.
    const DWORD error = GetLastError();
    if (error == ERROR_INVALID_HANDLE || error == ERROR_INVALID_FUNCTION)
        return true;
    setLastError();
    return false;
}

bool AppendFile::close()
{
    if (!handle_)
        return true;
    const BOOL closed = CloseHandle(handleOf(handle_));
    handle_ = nullptr;
    if (!closed) {
        setLastError();
        return false;
    }
    return true;
}

bool AppendFile::exists(const std::string& path)
{
    return GetFileAttributesW(widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::int64_t AppendFile::sizeOnDisk(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(widePath(path).c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void AppendFile::setLastError()
{
    lastError_ = std::system_category().message(static_cast<int>(GetLastError()));
}

} // namespace zentor

#endif // _WIN32
