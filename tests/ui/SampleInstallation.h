// A small installation in a temporary folder for the window tests: a
// Windows directory and the two component directories, with the platform's
// roots pointed at them for the object's lifetime.
#pragma once

#include <string>

class SampleInstallation {
public:
    SampleInstallation();
    ~SampleInstallation();
    SampleInstallation(const SampleInstallation&) = delete;
    SampleInstallation& operator=(const SampleInstallation&) = delete;

    // Writes `contents` into `directory` ("qmw" or "db1") under `name`.
    void WriteFile(const std::string& directory, const std::string& name,
                   const std::string& contents) const;
    // The release list's path in the Windows directory.
    std::string ReleaseListPath() const;
    // Sets "Updated<n>" of the entry that names `name` in `section` to 1.
    void MarkUpdated(const std::string& section, const std::string& name) const;
    const std::string& Root() const { return m_root; }
    const std::string& WindowsDirectory() const { return m_windows; }

private:
    std::string m_root;     // with a trailing backslash
    std::string m_windows;  // without one
};
