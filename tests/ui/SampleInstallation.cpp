#include "SampleInstallation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/IniFile.h"
#include "platform/Platform.h"

namespace {

void RemoveTree(const std::string& directory) {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = directory + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(directory.c_str());
}

}  // namespace

SampleInstallation::SampleInstallation() {
    static int counter = 0;
    char temp[MAX_PATH] = "";
    ::GetTempPathA(sizeof temp, temp);
    m_root = std::string(temp) + "qmui-" + std::to_string(::GetCurrentProcessId()) + "-" +
             std::to_string(++counter) + "\\";
    m_windows = m_root + "windows";
    for (const std::string& dir : {m_root, m_windows, m_root + "qmw", m_root + "db1"}) {
        if (!::CreateDirectoryA(dir.c_str(), nullptr)) throw std::runtime_error("mkdir " + dir);
    }
    qm::SetPlatformRoots({m_windows, m_root});
}

SampleInstallation::~SampleInstallation() {
    qm::SetPlatformRoots({});
    RemoveTree(m_root.substr(0, m_root.size() - 1));
}

void SampleInstallation::WriteFile(const std::string& directory, const std::string& name,
                                   const std::string& contents) const {
    const std::string path = m_root + directory + "\\" + name;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ::WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::string SampleInstallation::ReleaseListPath() const { return m_windows + "\\qmverify.lst"; }

void SampleInstallation::MarkUpdated(const std::string& section, const std::string& name) const {
    qm::CIniFile list;
    ASSERT_TRUE(list.Load(ReleaseListPath()));
    for (int n = 1; n < 100; ++n) {
        if (list.ReadText(section, "File" + std::to_string(n), 128) == name) {
            list.WriteText(section, "Updated" + std::to_string(n), "1");
            ASSERT_TRUE(list.Save());
            return;
        }
    }
    FAIL() << name << " is not listed in " << section;
}
