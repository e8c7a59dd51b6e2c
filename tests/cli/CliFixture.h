// What the command-line tests share: a Windows directory and a drive root
// with \qmw and \db1 in a temporary folder, and qmverify-cli started on them
// (--windir and --root), as an operator's shell would start it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "SampleInstallation.h"
#include "Spawn.h"
#include "TestPassword.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace cli_test {

namespace fs = std::filesystem;

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

inline std::vector<std::string> Split(const std::string& line, char separator) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == separator) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A Windows directory and a drive root with \qmw and \db1, three files.
class CliTest : public ::testing::Test {
protected:
    // The programs started here are pointed at the installation by their
    // options, not through this process's platform.
    CliTest() : m_install(true, false), m_base(m_install.Base()) {}

    void SetUp() override {
        m_install.WriteFile("qmw", "tool.exe", "123456789");
        m_install.WriteFile("qmw", "lib.dll", "abc");
        m_install.WriteFile("db1", "store.dll", "store");
    }

    fs::path WindowsDirectory() const { return m_install.windowsDirectory; }
    fs::path Root() const { return m_install.driveRoot; }
    fs::path ReleaseList() const { return WindowsDirectory() / "qmverify.lst"; }

    CliRun Cli(std::vector<std::string> args, const std::string& input = std::string(),
               const std::vector<std::pair<std::string, std::string>>& environment = {}) {
        SpawnOptions options;
        options.input = input;
        options.environment = environment;
        return Cli(std::move(args), options);
    }
    CliRun Cli(std::vector<std::string> args, const SpawnOptions& options) {
        args.insert(args.begin(),
                    {"--windir", WindowsDirectory().string(), "--root", Root().string()});
        return RunCli(args, options);
    }

    // Builds the list quietly, so that a test starts from a recorded release.
    void Build() {
        const CliRun run = Cli({"build", "--password-stdin"}, Password());
        ASSERT_EQ(run.status, 0) << run.err;
    }

    // Forgets the site's signing key and password, as before the first
    // signed write: lists edited by hand then compare as they always did.
    void Unpin() { fs::remove(WindowsDirectory() / "qmverify.ini"); }

    // The password as its first line of standard input, then `rest`.
    static std::string Password(const std::string& rest = "\n") { return kTestPassword + rest; }

    // Adds a file, with the password on standard input.
    CliRun Add(const std::string& name, const std::string& section) {
        return Cli({"add", name, section, "--password-stdin"}, Password());
    }

    qm::test::SampleInstallation m_install;
    fs::path m_base;  // a folder of the test's own, holding the installation
};

}  // namespace cli_test
