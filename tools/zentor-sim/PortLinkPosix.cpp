#include "PortLink.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zentor::sim {

PortLink::~PortLink()
{
    if (linkPath_.empty())
        return;
    std::vector<char> buffer(target_.size() + 2);
    const ssize_t n = ::readlink(linkPath_.c_str(), buffer.data(), buffer.size());
    if (n >= 0 && std::string(buffer.data(), static_cast<std::size_t>(n)) == target_)
        ::unlink(linkPath_.c_str());
}

bool PortLink::create(const std::string& linkPath, const std::string& target, std::string& error)
{
    struct stat existing
    {};
    if (::lstat(linkPath.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        error = "'" + linkPath + "' exists and is not a symbolic link; not replacing it";
        return false;
    }
    // Made under a temporary name and renamed over the old link, so that the name never
    // points nowhere and never at a half-made link.
    const std::string temporary = linkPath + ".zentor-sim-" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0 ||
        ::rename(temporary.c_str(), linkPath.c_str()) != 0) {
        error = "cannot make the link '" + linkPath + "': " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    linkPath_ = linkPath;
    target_ = target;
    return true;
}

} // namespace zentor::sim
