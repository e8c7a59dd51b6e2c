// A platform that forwards every call to the platform in force when it was
// made and fails the calls a test chooses, so that failures of renames,
// copies and writes can be provoked on any system.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qm::test {

class FaultPlatform : public IPlatform {
public:
    FaultPlatform() : m_real(Platform()), m_scope(*this) {}

    bool failCopy = false;
    bool failMoveReplace = false;
    bool failReplaceWithBackup = false;
    bool failWriteNewFile = false;
    // Writes the first half of the contents before failing, as a crash or a
    // full disk would leave the file.
    bool writeHalfThenFail = false;
    // Registry answers by key path; a key not in the map is absent.
    bool fakeRegistry = false;
    std::map<std::string, std::map<std::string, RegistryValue>> registry;

    std::vector<std::string> calls;  // names of the file-changing calls, in order

    std::string WindowsDirectory() override { return m_real.WindowsDirectory(); }
    bool FileExists(const std::string& path) override { return m_real.FileExists(path); }
    bool RenameFile(const std::string& from, const std::string& to) override {
        calls.push_back("RenameFile");
        return m_real.RenameFile(from, to);
    }
    bool RemoveFile(const std::string& path) override {
        calls.push_back("RemoveFile");
        return m_real.RemoveFile(path);
    }
    bool CopyFile(const std::string& from, const std::string& to) override {
        calls.push_back("CopyFile");
        return !failCopy && m_real.CopyFile(from, to);
    }
    bool MoveReplace(const std::string& from, const std::string& to) override {
        calls.push_back("MoveReplace");
        return !failMoveReplace && m_real.MoveReplace(from, to);
    }
    bool ReplaceWithBackup(const std::string& target, const std::string& replacement,
                           const std::string& backup) override {
        calls.push_back("ReplaceWithBackup");
        return !failReplaceWithBackup && m_real.ReplaceWithBackup(target, replacement, backup);
    }
    std::unique_ptr<IDirectorySearch> FindFirst(const std::string& pattern,
                                                FoundEntry& first) override {
        return m_real.FindFirst(pattern, first);
    }
    uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) override {
        return m_real.OpenForReading(path, file);
    }
    bool ToLocalCalendar(FileTime time, CalendarTime& local) override {
        return m_real.ToLocalCalendar(time, local);
    }
    ReadResult ReadWholeFile(const std::string& path, std::string& contents) override {
        return m_real.ReadWholeFile(path, contents);
    }
    bool WriteNewFile(const std::string& path, const std::string& contents) override {
        calls.push_back("WriteNewFile");
        if (writeHalfThenFail) {
            m_real.WriteNewFile(path, contents.substr(0, contents.size() / 2));
            return false;
        }
        return !failWriteNewFile && m_real.WriteNewFile(path, contents);
    }
    bool ReadMachineKey(const std::string& keyPath, const std::vector<std::string>& names,
                        std::vector<RegistryValue>& values) override {
        if (!fakeRegistry) return m_real.ReadMachineKey(keyPath, names, values);
        values.clear();
        auto key = registry.find(keyPath);
        if (key == registry.end()) return false;
        for (const std::string& name : names) {
            auto value = key->second.find(name);
            values.push_back(value == key->second.end() ? RegistryValue() : value->second);
        }
        return true;
    }

private:
    IPlatform& m_real;
    ScopedPlatform m_scope;
};

}  // namespace qm::test
