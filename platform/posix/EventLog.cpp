// The event log of the posix stand-in: each event as one line on the file
// that $QMVERIFY_EVENT_LOG names, so that a script (or a test) can read what
// a run wrote, else in syslog (facility user, ident "qmverify"). There is no
// event source to register.
#include <fcntl.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/posix/Files.h"
#include "platform/posix/PathMapping.h"

namespace qm {

namespace {

const char* TypeName(EventType type) {
    switch (type) {
        case EventType::Information:
            return "information";
        case EventType::Warning:
            return "warning";
        case EventType::Error:
            break;
    }
    return "error";
}

int Priority(EventType type) {
    switch (type) {
        case EventType::Information:
            return LOG_INFO;
        case EventType::Warning:
            return LOG_WARNING;
        case EventType::Error:
            break;
    }
    return LOG_ERR;
}

// "warning 1100<TAB>insert<TAB>insert": the number that Event Viewer shows
// (the identifier without its severity bits), and each insert with its tabs
// and line breaks as blanks, so that one event stays one line.
std::string EventLine(EventType type, uint32_t id, const std::vector<std::string>& inserts) {
    std::string line = std::string(TypeName(type)) + " " + std::to_string(id & 0xFFFFu);
    for (const std::string& insert : inserts) {
        line += '\t';
        for (char c : insert) line += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
    }
    return line;
}

uint32_t AppendLine(const std::string& nativePath, const std::string& line) {
    int fd;
    do {
        fd = open(nativePath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return posix::ErrorCodeOf(errno, nativePath);
    // One write per line, so that lines of two writers never interleave.
    const std::string text = line + "\n";
    ssize_t written;
    do {
        written = write(fd, text.data(), text.size());
    } while (written < 0 && errno == EINTR);
    const int error = written < 0 ? errno : 0;
    close(fd);
    if (error != 0) return posix::ErrorCodeOf(error, nativePath);
    return static_cast<size_t>(written) == text.size() ? kErrorSuccess : kErrorDiskFull;
}

}  // namespace

uint32_t IPlatform::WriteEvent(EventType type, uint32_t id,
                               const std::vector<std::string>& inserts) {
    const std::string line = EventLine(type, id, inserts);
    const std::string file = posix::EnvironmentText("QMVERIFY_EVENT_LOG");
    if (!file.empty()) return AppendLine(posix::MakeAbsolute(file), line);
    openlog(kEventSourceName, LOG_PID, LOG_USER);
    syslog(Priority(type), "%s", line.c_str());
    closelog();
    return kErrorSuccess;
}

uint32_t IPlatform::InstallEventSource(const std::string&) { return kErrorNotSupported; }

uint32_t IPlatform::RemoveEventSource() { return kErrorNotSupported; }

}  // namespace qm
