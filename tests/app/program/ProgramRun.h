#pragma once

// What the tests of the installed programs share: one run of a program with its output in files,
// and the records of a log or a recording.
#include "logging/KlfReader.h"
#include "support/FileBytes.h"
#include "support/Spawn.h"
#include "support/WaitUntil.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace zentor::test {

using Bytes = std::vector<std::uint8_t>;

inline std::string readText(const std::string& path)
{
    const Bytes bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// One run of a program with its output in files, ended by the test or killed at the end.
class Program
{
public:
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    explicit Program(std::string outputStem) : stem_(std::move(outputStem)) {}
    ~Program()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::unlink((stem_ + ".out").c_str());
        ::unlink((stem_ + ".err").c_str());
    }

    bool start(std::vector<std::string> args)
    {
        return spawnProgram(std::move(args), stem_ + ".out", stem_ + ".err", pid_);
    }

    // The exit status (128 + signal when killed), or -1 when it has not ended in time.
    int waitExit(std::chrono::milliseconds within)
    {
        int status = 0;
        const bool ended =
            waitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, within);
        if (!ended)
            return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    void signal(int sig) const { ::kill(pid_, sig); }
    std::string out() const { return readText(stem_ + ".out"); }
    std::string err() const { return readText(stem_ + ".err"); }

private:
    std::string stem_;
    pid_t pid_ = -1;
};

// The records of a log (or of a recording, which has no header), walked by the log reader.
inline std::vector<KlfRecord> recordsOf(const Bytes& bytes)
{
    KlfReader reader(bytes.data(), bytes.size());
    std::vector<KlfRecord> records;
    for (KlfRecord r; reader.next(r);)
        records.push_back(r);
    return records;
}

inline Bytes bytesOf(const KlfRecord& r, const Bytes& from)
{
    return Bytes(from.begin() + static_cast<long>(r.offset),
                 from.begin() + static_cast<long>(r.offset + r.size));
}

} // namespace zentor::test
