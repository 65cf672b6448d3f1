#pragma once

// Starting a program of the build from a test, its standard output and error in files.
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

namespace zentor::test {

// Starts args[0] with the arguments after it and this process's environment; its standard output
// goes to `outPath`, its standard error to `errPath` (both made anew). False when it could not be
// started; `pid` is the child's otherwise.
inline bool spawnProgram(std::vector<std::string> args, const std::string& outPath,
                         const std::string& errPath, pid_t& pid)
{
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0;
}

} // namespace zentor::test
