#include "cli/Commands.h"
#include "core/InstalledRelease.h"
#include "platform/Platform.h"

namespace qm::cli {

namespace {

// "Label:" padded to a common column, then the value.
void AppendField(std::string& out, const char* label, const std::string& value) {
    constexpr size_t kLabelWidth = 28;  // "Installed Sentinel Release:" and a blank
    std::string text = label;
    if (text.size() < kLabelWidth) text.append(kLabelWidth - text.size(), ' ');
    text += Printable(value);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out += text;
    out += '\n';
}

// Each version value that is a DWORD cut short, one line on standard error;
// false when there was one.
bool ReportCutValues(const char* keyPath, const InstalledRelease& release) {
    for (const std::string& name : release.cutValues) {
        Fail("the registry value " + name + " of HKEY_LOCAL_MACHINE\\" + keyPath +
             " is a DWORD cut short (fewer than 4 bytes): it holds no number");
    }
    return release.cutValues.empty();
}

}  // namespace

// A product whose key is missing shows empty fields, as the window does; a
// registry that cannot be read at all, or a version cut short, is an error.
int RunRelease(const CommandLine&) {
    const std::string registryError = Platform().MachineRegistryError();
    if (!registryError.empty()) return Fail(registryError);
    const InstalledRelease qmw = ReadInstalledRelease(kQmwRegistryKey).value_or(InstalledRelease());
    const InstalledRelease sentinel =
        ReadInstalledRelease(kSentinelRegistryKey).value_or(InstalledRelease());
    std::string out;
    AppendField(out, "Installed QMW Release:", qmw.version);
    AppendField(out, "Installed on:", qmw.installedOn);
    AppendField(out, "Installed Sentinel Release:", sentinel.version);
    AppendField(out, "Installed on:", sentinel.installedOn);
    if (Report(out) != kExitOk) return kExitError;
    const bool qmwWhole = ReportCutValues(kQmwRegistryKey, qmw);
    const bool sentinelWhole = ReportCutValues(kSentinelRegistryKey, sentinel);
    return qmwWhole && sentinelWhole ? kExitOk : kExitError;
}

}  // namespace qm::cli
