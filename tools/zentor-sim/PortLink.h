#pragma once

#include <string>

namespace zentor::sim {

// A symbolic link with a fixed name to the simulator's port (POSIX only), so that scripts and
// tests need not read the changing pseudo-terminal path. Removed when destroyed, if it still
// points where we made it point.
class PortLink
{
public:
    PortLink() = default;
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;
    ~PortLink();

    // Makes `linkPath` a link to `target`. An existing symbolic link there (one left by an
    // earlier run) is replaced; any other kind of file is left alone and the call fails.
    // Returns false, with `error` saying why, on failure.
    bool create(const std::string& linkPath, const std::string& target, std::string& error);

private:
    std::string linkPath_;
    std::string target_;
};

} // namespace zentor::sim
