#pragma once

// Runs the zentor-sim program itself, in a temporary folder of its own for its port link,
// record file and output, for tests that talk to it as the data logger would. The test program
// names the simulator with the compile definition ZENTOR_SIM_PATH.
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

extern char** environ;

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
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, path("out.txt").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, path("err.txt").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        return rc == 0;
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
