// A sample installation made on the fly, for every test program: a Windows
// directory and a drive root with the two component directories \qmw and
// \db1, in a fresh temporary directory that the platform is pointed at for
// the lifetime of the object (unless the test starts the command line on it
// instead).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "core/IniFile.h"
#include "core/ListedEntries.h"
#include "core/ReleaseListFormat.h"
#include "platform/Platform.h"

namespace qm::test {

class SampleInstallation {
public:
    explicit SampleInstallation(bool withComponentDirectories = true, bool pointPlatform = true)
        : m_bPointPlatform(pointPlatform) {
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
        if (m_bPointPlatform) SetPlatformRoots({windowsDirectory.string(), driveRoot.string()});
    }

    ~SampleInstallation() {
        if (m_bPointPlatform) SetPlatformRoots({});
        std::error_code ignored;
        std::filesystem::remove_all(m_base, ignored);
    }

    SampleInstallation(const SampleInstallation&) = delete;
    SampleInstallation& operator=(const SampleInstallation&) = delete;

    // A file below the drive root, such as "qmw/tool.exe" (UTF-8, as the
    // core names files).
    void WriteFile(const std::string& relative, const std::string& contents) const {
        std::ofstream out(driveRoot / std::filesystem::u8path(relative),
                          std::ios::binary | std::ios::trunc);
        out << contents;
    }
    // A file of a component directory ("qmw" or "db1").
    void WriteFile(const std::string& directory, const std::string& name,
                   const std::string& contents) const {
        WriteFile(directory + "/" + name, contents);
    }
    void RemoveFile(const std::string& relative) const {
        std::filesystem::remove(driveRoot / std::filesystem::u8path(relative));
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
        list.Load(ReleaseListPath());
        return list;
    }

    // The same places as texts: the drive root with a separator at its end,
    // the Windows directory without one, the release list's path.
    std::string Root() const { return driveRoot.string() + kSeparator; }
    std::string WindowsDirectory() const { return windowsDirectory.string(); }
    std::string ReleaseListPath() const { return InWindows(kReleaseListName).string(); }
    // The temporary folder that holds it all, for files of a test's own.
    const std::filesystem::path& Base() const { return m_base; }

    // Sets "Updated<n>" of the entry that names `name` in `section` to 1.
    void MarkUpdated(const std::string& section, const std::string& name) const {
        CIniFile list = LoadList();
        int found = 0;
        ForEachListedEntry(list, section, [&](int n, const std::string& file) {
            if (found == 0 && file == name) found = n;
        });
        ASSERT_NE(found, 0) << name << " is not listed in " << section;
        list.WriteText(section, EntryKey("Updated", found), "1");
        ASSERT_TRUE(list.SaveAs(ReleaseListPath()));
    }

    std::filesystem::path windowsDirectory;
    std::filesystem::path driveRoot;

private:
#ifdef _WIN32
    static constexpr char kSeparator = '\\';
#else
    static constexpr char kSeparator = '/';
#endif
    std::filesystem::path m_base;
    bool m_bPointPlatform;
};

}  // namespace qm::test
