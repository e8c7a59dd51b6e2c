#include "cli/Commands.h"
#include "core/InstalledRelease.h"

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

}  // namespace

// A product whose key is missing shows empty fields, as the window does.
int RunRelease(const CommandLine&) {
    const InstalledRelease qmw = ReadInstalledRelease(kQmwRegistryKey).value_or(InstalledRelease());
    const InstalledRelease sentinel =
        ReadInstalledRelease(kSentinelRegistryKey).value_or(InstalledRelease());
    std::string out;
    AppendField(out, "Installed QMW Release:", qmw.version);
    AppendField(out, "Installed on:", qmw.installedOn);
    AppendField(out, "Installed Sentinel Release:", sentinel.version);
    AppendField(out, "Installed on:", sentinel.installedOn);
    return Report(out);
}

}  // namespace qm::cli
