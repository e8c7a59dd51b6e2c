#include "platform/posix/PathMapping.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/Platform.h"

namespace qm::posix {

namespace {

std::string CurrentDirectory() {
    std::string buffer(256, '\0');
    for (;;) {
        if (getcwd(&buffer[0], buffer.size()) != nullptr) {
            buffer.resize(std::strlen(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE) return ".";
        buffer.resize(buffer.size() * 2);
    }
}

std::string DriveRoot() {
    std::string root = CurrentPlatformRoots().driveRoot;
    if (root.empty()) root = EnvironmentText("QMVERIFY_ROOT");
    if (root.empty()) root = "/";
    return MakeAbsolute(root);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string EnvironmentText(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string MakeAbsolute(std::string path) {
    if (path.empty() || path[0] != '/') {
        std::string cwd = CurrentDirectory();
        if (path.empty() || path == ".") {
            path = cwd;
        } else {
            if (path.compare(0, 2, "./") == 0) path.erase(0, 2);
            path = (cwd == "/" ? "" : cwd) + "/" + path;
        }
    }
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string MapPath(const std::string& path) {
    std::string result;
    size_t pos = 0;
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        result = DriveRoot();
        pos = 2;
    } else if (!path.empty() && path[0] == '\\') {
        result = DriveRoot();
    } else if (!path.empty() && path[0] == '/') {
        result = "/";
    }

    // Split into components; every one but the last names a directory, and
    // so does the last when the path ends with a separator.
    std::vector<std::string> components;
    size_t start = pos;
    for (size_t i = pos; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (i > start) components.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    bool endsWithSeparator = path.size() > pos && IsSeparator(path.back());

    for (size_t i = 0; i < components.size(); ++i) {
        std::string component = components[i];
        bool isDirectory = i + 1 < components.size() || endsWithSeparator;
        if (isDirectory && component != "." && component != "..") {
            while (!component.empty() && component.back() == '.') component.pop_back();
            if (component.empty()) continue;  // a name of dots only: the same directory
        }
        if (!result.empty() && result.back() != '/') result += '/';
        result += component;
    }
    if (result.empty()) result = ".";
    return result;
}

std::string ParentOf(const std::string& nativePath) {
    size_t slash = nativePath.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return nativePath.substr(0, slash);
}

std::string WindowsDirectory() {
    std::string directory = CurrentPlatformRoots().windowsDirectory;
    if (directory.empty()) directory = EnvironmentText("QMVERIFY_WINDIR");
    if (directory.empty()) directory = "windows";
    return MakeAbsolute(directory);
}

}  // namespace qm::posix
