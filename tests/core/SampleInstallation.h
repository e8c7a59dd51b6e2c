// A sample installation made on the fly: a Windows directory and a drive
// root with the two component directories \qmw and \db1, in a fresh temporary
// directory that the platform is pointed at for the lifetime of the object.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "core/IniFile.h"
#include "core/ReleaseListFormat.h"
#include "platform/Platform.h"

namespace qm::test {

class SampleInstallation {
public:
    explicit SampleInstallation(bool withComponentDirectories = true) {
        std::random_device random;
        std::ostringstream name;
        name << "qmv" << std::hex << (random() & 0xFFFFFF)
             << (std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFF);
        m_base = std::filesystem::temp_directory_path() / name.str();
        windowsDirectory = m_base / "win";
        driveRoot = m_base / "drive";
        std::filesystem::create_directories(windowsDirectory);
        std::filesystem::create_directories(driveRoot);
        if (withComponentDirectories) {
            std::filesystem::create_directory(driveRoot / "qmw");
            std::filesystem::create_directory(driveRoot / "db1");
        }
        SetPlatformRoots({windowsDirectory.string(), driveRoot.string()});
    }

    ~SampleInstallation() {
        SetPlatformRoots({});
        std::error_code ignored;
        std::filesystem::remove_all(m_base, ignored);
    }

    SampleInstallation(const SampleInstallation&) = delete;
    SampleInstallation& operator=(const SampleInstallation&) = delete;

    // A file below the drive root, such as "qmw/tool.exe".
    void WriteFile(const std::string& relative, const std::string& contents) const {
        std::ofstream out(driveRoot / relative, std::ios::binary | std::ios::trunc);
        out << contents;
    }
    void RemoveFile(const std::string& relative) const {
        std::filesystem::remove(driveRoot / relative);
    }
    void MakeDirectory(const std::string& relative) const {
        std::filesystem::create_directories(driveRoot / relative);
    }

    // A file in the Windows directory, such as "qmverify.l01".
    std::filesystem::path InWindows(const std::string& name) const {
        return windowsDirectory / name;
    }
    bool ExistsInWindows(const std::string& name) const {
        return std::filesystem::exists(InWindows(name));
    }
    std::string ReadInWindows(const std::string& name) const {
        std::ifstream in(InWindows(name), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void RemoveInWindows(const std::string& name) const {
        std::error_code ignored;
        std::filesystem::remove(InWindows(name), ignored);
    }
    void WriteInWindows(const std::string& name, const std::string& contents) const {
        std::ofstream out(InWindows(name), std::ios::binary | std::ios::trunc);
        out << contents;
    }

    std::string ListText() const { return ReadInWindows(kReleaseListName); }
    void WriteList(const std::string& contents) const {
        WriteInWindows(kReleaseListName, contents);
    }

    // The release list as the operations read it.
    CIniFile LoadList() const {
        CIniFile list;
        list.Load(ProfilePath(kReleaseListName));
        return list;
    }

    std::filesystem::path windowsDirectory;
    std::filesystem::path driveRoot;

private:
    std::filesystem::path m_base;
};

}  // namespace qm::test
