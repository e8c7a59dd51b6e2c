// Scheduled tasks on the posix stand-in: none; a systemd timer or cron runs
// a compare there.
#include <string>

#include "platform/Platform.h"

namespace qm {

uint32_t IPlatform::RegisterTask(const std::string&, const std::string&) {
    return kErrorNotSupported;
}

uint32_t IPlatform::DeleteTask(const std::string&) { return kErrorNotSupported; }

uint32_t IPlatform::ReadTask(const std::string&, std::string& definition) {
    definition.clear();
    return kErrorNotSupported;
}

}  // namespace qm
