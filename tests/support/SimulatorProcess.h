#pragma once

// Runs the zentor-sim program itself, in a temporary folder of its own for its port link,
// record file and output, for tests that talk to it as the data logger would. The test program
// names the simulator with the compile definition ZENTOR_SIM_PATH.
#include "support/Spawn.h"
#include "support/WaitUntil.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zentor::test {

// One run of the simulator, with its own temporary folder for the link, record and output.
class SimulatorProcess
{
public:
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;
    SimulatorProcess()
    {
        std::string pattern = ::testing::TempDir() + "zentor-sim-XXXXXX";
        dir_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : "";
    }

    ~SimulatorProcess()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        for (const char* name : {"/port", "/record.bin", "/out.txt", "/err.txt"})
            ::unlink((dir_ + name).c_str());
        ::rmdir(dir_.c_str());
    }

    std::string path(const char* name) const { return dir_ + "/" + name; }

    bool start(std::vector<std::string> args)
    {
        args.insert(args.begin(), ZENTOR_SIM_PATH);
        return spawnProgram(std::move(args), path("out.txt"), path("err.txt"), pid_);
    }

    // The exit status, or -1 when the program has not ended within `timeoutMs`.
    int waitExit(int timeoutMs)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

    void signal(int sig) const { ::kill(pid_, sig); }

    std::string output(const char* name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Waits until the program's error output holds `text`.
    bool waitForMessage(const std::string& text, int timeoutMs) const
    {
        return waitUntil([&] { return output("err.txt").find(text) != std::string::npos; },
                         std::chrono::milliseconds(timeoutMs));
    }

    // Waits until the link to the simulator's port (its --link or --tp-link path) is there; a
    // loaded machine may take a while to start the program.
    static bool waitForLink(const std::string& link,
                            std::chrono::milliseconds within = std::chrono::seconds(10))
    {
        struct stat s
        {};
        return waitUntil([&] { return ::stat(link.c_str(), &s) == 0; }, within);
    }

private:
    std::string dir_;
    pid_t pid_ = -1;
};

} // namespace zentor::test
