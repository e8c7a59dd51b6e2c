// The base of the test platforms: forwards every call to the platform in
// force when it was made, and puts itself in force for its lifetime. A fake
// derives from it and overrides only what it fakes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qm::test {

class ForwardingPlatform : public IPlatform {
public:
    ForwardingPlatform() : m_real(Platform()), m_scope(*this) {}

    std::string WindowsDirectory() override { return m_real.WindowsDirectory(); }
    bool FileExists(const std::string& path) override { return m_real.FileExists(path); }
    bool RemoveFile(const std::string& path) override { return m_real.RemoveFile(path); }
    uint32_t CopyFileKeepingDate(const std::string& from, const std::string& to) override {
        return m_real.CopyFileKeepingDate(from, to);
    }
    uint32_t MoveReplace(const std::string& from, const std::string& to) override {
        return m_real.MoveReplace(from, to);
    }
    uint32_t HardLink(const std::string& existing, const std::string& link) override {
        return m_real.HardLink(existing, link);
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
    uint32_t CreateNewFile(const std::string& path, const std::string& contents) override {
        return m_real.CreateNewFile(path, contents);
    }
    bool IsReadOnly(const std::string& path) override { return m_real.IsReadOnly(path); }
    bool AnsiToUtf8(std::string_view bytes, std::string& text) override {
        return m_real.AnsiToUtf8(bytes, text);
    }
    bool Utf8ToAnsi(std::string_view text, std::string& bytes) override {
        return m_real.Utf8ToAnsi(text, bytes);
    }
    std::string NameKey(const std::string& name) override { return m_real.NameKey(name); }
    uint32_t TryLockFile(const std::string& path, std::unique_ptr<IFileLock>& lock) override {
        return m_real.TryLockFile(path, lock);
    }
    std::string LockHolder(const std::string& path) override { return m_real.LockHolder(path); }
    bool ReadMachineKey(const std::string& keyPath, const std::vector<std::string>& names,
                        std::vector<RegistryValue>& values) override {
        return m_real.ReadMachineKey(keyPath, names, values);
    }
    std::string MachineRegistryError() override { return m_real.MachineRegistryError(); }
    std::string ErrorText(uint32_t error) override { return m_real.ErrorText(error); }
    DriveKind KindOfDrive(const std::string& path) override { return m_real.KindOfDrive(path); }
    uint32_t SearchDirectoryError(const std::string& path) override {
        return m_real.SearchDirectoryError(path);
    }
    bool RandomBytes(size_t count, std::string& bytes) override {
        return m_real.RandomBytes(count, bytes);
    }
    bool NewSigningKey(std::string& publicKey, std::string& privateKey) override {
        return m_real.NewSigningKey(publicKey, privateKey);
    }
    bool SignDigest(const std::string& privateKey, const std::string& digest,
                    std::string& signature) override {
        return m_real.SignDigest(privateKey, digest, signature);
    }
    bool VerifyDigest(const std::string& publicKey, const std::string& digest,
                      const std::string& signature) override {
        return m_real.VerifyDigest(publicKey, digest, signature);
    }
    bool SealAesGcm(const std::string& key, const std::string& nonce, const std::string& plain,
                    const std::string& associated, std::string& sealed) override {
        return m_real.SealAesGcm(key, nonce, plain, associated, sealed);
    }
    bool OpenAesGcm(const std::string& key, const std::string& nonce, const std::string& sealed,
                    const std::string& associated, std::string& plain) override {
        return m_real.OpenAesGcm(key, nonce, sealed, associated, plain);
    }
    std::string WriteTarget(const std::string& path) override { return m_real.WriteTarget(path); }
    uint32_t CopyProtection(const std::string& like, const std::string& to) override {
        return m_real.CopyProtection(like, to);
    }
    std::string OthersWhoMayWrite(const std::string& path) override {
        return m_real.OthersWhoMayWrite(path);
    }
    // ReadWholeFileWithReason is not forwarded: its default asks this
    // platform's ReadWholeFile, which a fake may override.
    uint32_t WriteEvent(EventType type, uint32_t id,
                        const std::vector<std::string>& inserts) override {
        return m_real.WriteEvent(type, id, inserts);
    }
    uint32_t InstallEventSource(const std::string& messageFile) override {
        return m_real.InstallEventSource(messageFile);
    }
    uint32_t RemoveEventSource() override { return m_real.RemoveEventSource(); }
    uint32_t RegisterTask(const std::string& name, const std::string& definition) override {
        return m_real.RegisterTask(name, definition);
    }
    uint32_t DeleteTask(const std::string& name) override { return m_real.DeleteTask(name); }
    uint32_t ReadTask(const std::string& name, std::string& definition) override {
        return m_real.ReadTask(name, definition);
    }
    std::string ProgramPath() override { return m_real.ProgramPath(); }
    std::string ExpandEnvironment(const std::string& text) override {
        return m_real.ExpandEnvironment(text);
    }
    uint32_t CreateProtectedDirectory(const std::string& path) override {
        return m_real.CreateProtectedDirectory(path);
    }
    SignatureCheck FileSignature(const std::string& path) override {
        return m_real.FileSignature(path);
    }

protected:
    IPlatform& Real() { return m_real; }

private:
    IPlatform& m_real;
    ScopedPlatform m_scope;
};

}  // namespace qm::test
