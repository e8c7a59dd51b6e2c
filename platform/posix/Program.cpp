// The running program as the posix stand-in sees it: its own path, the
// environment, and a directory for what a scheduled run writes.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/Platform.h"
#include "platform/posix/Files.h"
#include "platform/posix/PathMapping.h"

namespace qm {

std::string IPlatform::ProgramPath() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", &path[0], path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size()) return std::string();
    path.resize(static_cast<size_t>(length));
    return path;
}

std::string IPlatform::ExpandEnvironment(const std::string& text) {
    std::string expanded;
    size_t at = 0;
    while (at < text.size()) {
        const size_t open = text.find('%', at);
        const size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) break;
        const std::string name = text.substr(open + 1, close - open - 1);
        const std::string value =
            name.empty() ? std::string() : posix::EnvironmentText(name.c_str());
        expanded += text.substr(at, open - at);
        expanded += value.empty() ? text.substr(open, close - open + 1) : value;
        at = close + 1;
    }
    return expanded + text.substr(at < text.size() ? at : text.size());
}

uint32_t IPlatform::CreateProtectedDirectory(const std::string& path) {
    const std::string native = posix::MapPath(path);
    if (mkdir(native.c_str(), 0755) != 0) {
        return errno == EEXIST ? uint32_t{kErrorAlreadyExists} : posix::ErrorCodeOf(errno, native);
    }
    // Whatever the umask: others read what a scheduled run writes.
    return chmod(native.c_str(), 0755) == 0 ? kErrorSuccess : posix::ErrorCodeOf(errno, native);
}

}  // namespace qm
