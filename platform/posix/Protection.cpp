// The protection of a replaced file on the posix stand-in: its mode, owner
// and group pass to the file that takes its place, and a symbolic link is
// written through to its target.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/posix/Files.h"
#include "platform/posix/PathMapping.h"

namespace qm {

namespace {

// The process's umask, without changing it (umask() would, for every
// thread): Linux tells it in /proc/self/status; the usual 022 elsewhere.
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "Umask:") == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
        }
    }
    return 022;
}

std::string OctalMode(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

}  // namespace

std::string IPlatform::WriteTarget(const std::string& path) {
    const std::string native = posix::MapPath(path);
    struct stat info;
    if (lstat(native.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::unique_ptr<char, void (*)(void*)> resolved(realpath(native.c_str(), nullptr), free);
    // A dangling link has no target to write: the write replaces the link.
    if (!resolved) return path;
    return resolved.get();  // a native absolute path, which MapPath keeps
}

uint32_t IPlatform::CopyProtection(const std::string& like, const std::string& to) {
    const std::string target = posix::MapPath(to);
    struct stat old;
    if (stat(posix::MapPath(like).c_str(), &old) != 0) {
        // A new file: never writable by others, whatever the umask.
        const mode_t mode = 0666 & ~CurrentUmask() & ~static_cast<mode_t>(022);
        return chmod(target.c_str(), mode) == 0 ? kErrorSuccess : posix::ErrorCodeOf(errno, target);
    }
    // The owner first: a change of owner clears the set-id bits, which the
    // mode then gives back. One who may not give the file away (no root)
    // still keeps its group where it is one of theirs.
    if (chown(target.c_str(), old.st_uid, old.st_gid) != 0 &&
        chown(target.c_str(), static_cast<uid_t>(-1), old.st_gid) != 0 && errno != EPERM) {
        return posix::ErrorCodeOf(errno, target);
    }
    if (chmod(target.c_str(), old.st_mode & 07777) != 0) return posix::ErrorCodeOf(errno, target);
    return kErrorSuccess;
}

std::string IPlatform::OthersWhoMayWrite(const std::string& path) {
    struct stat info;
    if (stat(posix::MapPath(path).c_str(), &info) != 0) return std::string();
    const bool group = (info.st_mode & S_IWGRP) != 0;
    const bool others = (info.st_mode & S_IWOTH) != 0;
    if (!group && !others) return std::string();
    const std::string who = group && others ? "its group and every user"
                            : group         ? "its group"
                                            : "every user";
    return who + " (mode " + OctalMode(info.st_mode) + ")";
}

}  // namespace qm
