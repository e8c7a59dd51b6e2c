// "list-status" and "list-key": the release list's signature and the key
// this installation pins, without comparing a file.
#include "cli/Commands.h"
#include "cli/ResultFormat.h"
#include "core/IniFile.h"
#include "core/ListSignature.h"
#include "core/ReleaseListFormat.h"
#include "core/Settings.h"
#include "core/SiteKey.h"
#include "platform/Platform.h"

namespace qm::cli {

namespace {

std::string FingerprintOrNone(const std::string& publicKey) {
    return publicKey.empty() ? std::string("none") : KeyFingerprint(publicKey);
}

std::string JsonOrNull(const std::string& publicKey) {
    return publicKey.empty() ? std::string("null") : JsonString(KeyFingerprint(publicKey));
}

std::string StatusText(const ListSignature& signature) {
    const bool signedList = !signature.listKey.empty();
    return std::string("State:       ") + SignatureStateName(signature.state) + "\n" +
           SignatureStateText(signature) + "\n" +
           "Pinned key:  " + FingerprintOrNone(signature.pinnedKey) + "\n" +
           "List key:    " + FingerprintOrNone(signature.listKey) + "\n" +
           "Sequence:    " + (signedList ? std::to_string(signature.sequence) : "none") + "\n" +
           "Entries:     " + (signedList ? std::to_string(signature.entries) : "none") + "\n";
}

std::string StatusJson(const ListSignature& signature) {
    const bool signedList = !signature.listKey.empty();
    return std::string("{\"state\": ") + JsonString(SignatureStateName(signature.state)) +
           ", \"text\": " + JsonString(SignatureStateText(signature)) +
           ", \"listFound\": " + (signature.listMissing ? "false" : "true") +
           ", \"pinnedKey\": " + JsonOrNull(signature.pinnedKey) +
           ", \"listKey\": " + JsonOrNull(signature.listKey) +
           ", \"sequence\": " + (signedList ? std::to_string(signature.sequence) : "null") +
           ", \"entries\": " + (signedList ? std::to_string(signature.entries) : "null") + "}\n";
}

// The pin, or "" and a message when the settings cannot be read.
bool ReadPin(SitePin& pin, std::string& error) {
    pin = ReadSitePin();
    if (pin.error == kErrorSuccess) return true;
    error = ReadFailure("the settings", ProfilePath(kSettingsFile), pin.error);
    return false;
}

}  // namespace

int RunListStatus(const CommandLine& line) {
    if (line.format != OutputFormat::Table && line.format != OutputFormat::Json) {
        return Fail("list-status takes --format table or json");
    }
    std::string error;
    const std::string windowsDirectory = UsableWindowsDirectory(error);
    if (windowsDirectory.empty()) return Fail(error);
    SitePin pin;
    if (!ReadPin(pin, error)) return Fail(error);
    const std::string listPath = ReleaseListPath(windowsDirectory);
    CIniFile list;
    const bool exists = Platform().FileExists(listPath);
    if (exists && !list.Load(listPath)) {
        return Fail(ReadFailure("the release list", listPath, list.LoadError()));
    }
    const ListSignature signature = CheckListSignature(exists ? &list : nullptr, pin);
    const std::string others = exists ? Platform().OthersWhoMayWrite(listPath) : std::string();
    if (!others.empty()) {
        Tell("note: the release list " + Shown(listPath) + " may be written by " +
             Printable(others) + ", not only by its owner");
    }
    const int reported =
        Report(line.format == OutputFormat::Json ? StatusJson(signature) : StatusText(signature));
    if (reported != kExitOk) return reported;
    if (signature.state == SignatureState::Valid) return kExitOk;
    return IsAlarm(signature.state) ? kExitError : kExitDifferences;
}

int RunListKey(const CommandLine&) {
    std::string error;
    if (UsableWindowsDirectory(error).empty()) return Fail(error);
    SitePin pin;
    if (!ReadPin(pin, error)) return Fail(error);
    const std::string settings = Shown(ProfilePath(kSettingsFile));
    if (!pin.pinned) {
        return Fail("no signing key is pinned in " + settings +
                    ": the first Update Release Data or Add makes one");
    }
    if (pin.publicKey.empty()) {
        return Fail("the signing key in " + settings + " is no key: the settings file was changed");
    }
    return Report(KeyFingerprint(pin.publicKey) + "\n");
}

}  // namespace qm::cli
