#pragma once

#include "logging/KlfReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace zentor::klfexport {

// A log file's records, front to back, as the program's record reader (logging/KlfReader.h) finds
// them in the whole file, with the same verdict, but read through a window of the file: a log of
// any size is walked in the memory of one window. Each record's offset is the file's; its data
// lies in the window and is good until the next call.
class LogStream
{
public:
    static constexpr std::size_t kDefaultWindowBytes = std::size_t{1} << 20;
    // A window holds at least two of the largest records: the one handed out last, carried into
    // the next window, and the whole of the next.
    static constexpr std::size_t kMinWindowBytes = 8192;

    // An open file (not taken over), read from its start.
    explicit LogStream(std::FILE* file, std::size_t windowBytes = kDefaultWindowBytes);
    // A log in memory, read the same way. The bytes must outlive the stream.
    LogStream(const std::uint8_t* bytes, std::size_t size,
              std::size_t windowBytes = kDefaultWindowBytes);

    // The next record; false at the end of the file, where the walk ends at a problem, or when
    // the file could not be read (readError() says so).
    bool next(KlfRecord& record);

    // Back to the file's start for another walk; false when the file cannot be read again.
    bool restart();

    // What the walk has found so far; final once next() has returned false.
    KlfVerdict verdict() const { return verdict_; }
    std::size_t problemOffset() const { return problemOffset_; }
    const char* problem() const { return problem_; }
    // True when the walk went on to the file's last byte, false when it stopped before.
    bool walkedToEnd() const { return atEnd_ && lastEnd_ == size_; }
    // The system's reason when the file could not be read; empty otherwise.
    const std::string& readError() const { return readError_; }

private:
    void startWindow(std::size_t keepFrom);
    bool fill();
    std::size_t read(std::uint8_t* to, std::size_t most);
    void takeProblem(bool windowIsDone);

    std::FILE* file_ = nullptr;
    const std::uint8_t* memory_ = nullptr; // or the log in memory,
    std::size_t memorySize_ = 0;
    std::size_t memoryAt_ = 0; // and how far it has been read
    std::vector<std::uint8_t> window_;
    std::size_t size_ = 0; // bytes in the window
    std::size_t base_ = 0; // the file offset of the window's first byte
    bool atEnd_ = true;    // the window reaches the file's end
    std::optional<KlfReader> reader_;
    bool carried_ = false;    // the window opens with the record handed out last
    std::size_t lastEnd_ = 0; // window offset after the last record handed out
    std::size_t lastStart_ = 0;

    KlfVerdict verdict_ = KlfVerdict::Whole;
    std::size_t problemOffset_ = 0;
    const char* problem_ = "";
    std::string readError_;
};

} // namespace zentor::klfexport
