#include "LogStream.h"

#include "link/Frame.h"
#include "logging/KlfFormat.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace zentor::klfexport {

namespace {
constexpr std::size_t kLargestRecordBytes = kLengthFieldBytes + kMaxBodyLength;
static_assert(LogStream::kMinWindowBytes >= 2 * kLargestRecordBytes,
              "a window holds the record carried over and the whole of the next");
} // namespace

LogStream::LogStream(std::FILE* file, std::size_t windowBytes)
    : file_(file), window_(std::max(windowBytes, kMinWindowBytes))
{
    restart();
}

LogStream::LogStream(const std::uint8_t* bytes, std::size_t size, std::size_t windowBytes)
    : memory_(bytes), memorySize_(bytes != nullptr ? size : 0),
      window_(std::max(std::min(windowBytes, memorySize_), kMinWindowBytes))
{
    restart();
}

bool LogStream::restart()
{
    verdict_ = KlfVerdict::Whole;
    problemOffset_ = 0;
    problem_ = "";
    carried_ = false;
    lastStart_ = lastEnd_ = 0;
    base_ = 0;
    size_ = 0;
    atEnd_ = false;
    memoryAt_ = 0;
    if (file_ != nullptr) {
        std::clearerr(file_);
        if (std::fseek(file_, 0, SEEK_SET) != 0) {
            readError_ = std::generic_category().message(errno);
            atEnd_ = true;
        }
    }
    fill();
    reader_.emplace(window_.data(), size_);
    return readError_.empty();
}

// Reads on until the window is full or the file ends.
bool LogStream::fill()
{
    while (size_ < window_.size() && !atEnd_) {
        const std::size_t n = read(window_.data() + size_, window_.size() - size_);
        size_ += n;
        if (!readError_.empty())
            return false;
        if (n == 0)
            atEnd_ = true;
    }
    return true;
}

std::size_t LogStream::read(std::uint8_t* to, std::size_t most)
{
    if (file_ == nullptr) {
        const std::size_t n = std::min(most, memorySize_ - memoryAt_);
        std::copy_n(memory_ + memoryAt_, n, to);
        memoryAt_ += n;
        return n;
    }
    const std::size_t n = std::fread(to, 1, most, file_);
    if (std::ferror(file_)) {
        readError_ = std::generic_category().message(errno);
        atEnd_ = true;
    }
    return n;
}

// The next window starts with the last record handed out, whole: a reader that starts on a
// record never takes it for a lead-in (its length is not 0), so it goes on as the one before
// would have. That record is not handed out again.
void LogStream::startWindow(std::size_t keepFrom)
{
    std::memmove(window_.data(), window_.data() + keepFrom, size_ - keepFrom);
    base_ += keepFrom;
    size_ -= keepFrom;
    lastEnd_ -= keepFrom;
    lastStart_ = 0;
    carried_ = lastEnd_ > 0;
    fill();
    reader_.emplace(window_.data(), size_);
}

// The window's reader judges the records it saw whole. Not its own: the record carried over,
// judged in the window before, nor the end of a window that is not the file's end, where a
// record may only be cut by the window.
void LogStream::takeProblem(bool windowIsDone)
{
    if (reader_->verdict() == KlfVerdict::Whole || verdict_ != KlfVerdict::Whole)
        return;
    const std::size_t at = reader_->problemOffset();
    if ((carried_ && at == 0) || (!windowIsDone && at >= lastEnd_))
        return;
    verdict_ = reader_->verdict();
    problemOffset_ = base_ + at;
    problem_ = reader_->problem();
}

bool LogStream::next(KlfRecord& record)
{
    for (;;) {
        if (reader_->next(record)) {
            if (carried_ && record.offset == 0)
                continue;
            lastStart_ = record.offset;
            lastEnd_ = record.offset + record.size;
            record.offset += base_;
            return true;
        }
        const bool cutByWindow = !atEnd_ && size_ - lastEnd_ < kLargestRecordBytes;
        takeProblem(!cutByWindow);
        if (!cutByWindow || !readError_.empty())
            return false;
        startWindow(lastStart_);
    }
}

} // namespace zentor::klfexport
