// A platform that fails the calls a test chooses, so that failures of links,
// copies, moves and writes can be provoked on any system; everything else
// goes to the real platform.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ForwardingPlatform.h"

namespace qm::test {

class FaultPlatform : public ForwardingPlatform {
public:
    bool failCopy = false;
    bool failMoveReplace = false;
    bool failHardLink = false;  // as a volume without hard links answers
    bool failCreateNewFile = false;
    // Writes the first half of the contents before failing, as a crash or a
    // full disk would leave the file.
    bool writeHalfThenFail = false;
    // The error code that the failing calls give (access denied: a standard
    // user in the Windows directory).
    uint32_t failure = kErrorGenFailure;
    bool failLock = false;  // TryLockFile answers `failure`
    // Files whose name ends in this text have the read-only attribute, and a
    // move onto one fails with access denied, as Windows refuses it (Wine
    // and posix replace such a file).
    std::string readOnlyName;
    // Registry answers by key path; a key not in the map is absent.
    bool fakeRegistry = false;
    std::map<std::string, std::map<std::string, RegistryValue>> registry;

    std::vector<std::string> calls;  // names of the file-changing calls, in order

    bool RemoveFile(const std::string& path) override {
        calls.push_back("RemoveFile");
        return Real().RemoveFile(path);
    }
    uint32_t CopyFileKeepingDate(const std::string& from, const std::string& to) override {
        calls.push_back("CopyFileKeepingDate");
        return failCopy ? failure : Real().CopyFileKeepingDate(from, to);
    }
    uint32_t MoveReplace(const std::string& from, const std::string& to) override {
        calls.push_back("MoveReplace");
        if (IsReadOnly(to)) return kErrorAccessDenied;
        return failMoveReplace ? failure : Real().MoveReplace(from, to);
    }
    bool IsReadOnly(const std::string& path) override {
        if (!readOnlyName.empty() && path.size() >= readOnlyName.size() &&
            path.compare(path.size() - readOnlyName.size(), readOnlyName.size(), readOnlyName) ==
                0) {
            return Real().FileExists(path);
        }
        return Real().IsReadOnly(path);
    }
    uint32_t HardLink(const std::string& existing, const std::string& link) override {
        calls.push_back("HardLink");
        return failHardLink ? uint32_t{kErrorNotSupported} : Real().HardLink(existing, link);
    }
    uint32_t CreateNewFile(const std::string& path, const std::string& contents) override {
        calls.push_back("CreateNewFile");
        if (writeHalfThenFail) {
            Real().CreateNewFile(path, contents.substr(0, contents.size() / 2));
            return failure;
        }
        return failCreateNewFile ? failure : Real().CreateNewFile(path, contents);
    }
    uint32_t TryLockFile(const std::string& path, std::unique_ptr<IFileLock>& lock) override {
        if (failLock) {
            lock.reset();
            return failure;
        }
        return Real().TryLockFile(path, lock);
    }
    bool ReadMachineKey(const std::string& keyPath, const std::vector<std::string>& names,
                        std::vector<RegistryValue>& values) override {
        if (!fakeRegistry) return Real().ReadMachineKey(keyPath, names, values);
        values.clear();
        auto key = registry.find(keyPath);
        if (key == registry.end()) return false;
        for (const std::string& name : names) {
            auto value = key->second.find(name);
            values.push_back(value == key->second.end() ? RegistryValue() : value->second);
        }
        return true;
    }
};

}  // namespace qm::test
