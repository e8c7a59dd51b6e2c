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

#include "Spawn.h"
#include "TestPassword.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
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

inline int ProcessId() {
#ifdef _WIN32
    return static_cast<int>(GetCurrentProcessId());
#else
    return static_cast<int>(getpid());
#endif
}

// A Windows directory and a drive root with \qmw and \db1, three files.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        m_base = fs::temp_directory_path() /
                 ("qmcli" + std::to_string(ProcessId()) + "-" + std::to_string(++counter));
        fs::remove_all(m_base);
        fs::create_directories(WindowsDirectory());
        fs::create_directories(Root() / "qmw");
        fs::create_directories(Root() / "db1");
        WriteFile(Root() / "qmw" / "tool.exe", "123456789");
        WriteFile(Root() / "qmw" / "lib.dll", "abc");
        WriteFile(Root() / "db1" / "store.dll", "store");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_base, ignored);
    }

    fs::path WindowsDirectory() const { return m_base / "windows"; }
    fs::path Root() const { return m_base / "root"; }
    fs::path ReleaseList() const { return WindowsDirectory() / "qmverify.lst"; }

    CliRun Cli(std::vector<std::string> args, const std::string& input = std::string(),
               const std::vector<std::pair<std::string, std::string>>& environment = {}) {
        args.insert(args.begin(),
                    {"--windir", WindowsDirectory().string(), "--root", Root().string()});
        return RunCli(args, input, environment);
    }

    // Builds the list quietly, so that a test starts from a recorded release.
    void Build() {
        const CliRun run = Cli({"build", "--password-stdin"}, Password());
        ASSERT_EQ(run.status, 0) << run.err;
    }

    // The password as its first line of standard input, then `rest`.
    static std::string Password(const std::string& rest = "\n") { return kTestPassword + rest; }

    // Adds a file, with the password on standard input.
    CliRun Add(const std::string& name, const std::string& section) {
        return Cli({"add", name, section, "--password-stdin"}, Password());
    }

    fs::path m_base;
};

}  // namespace cli_test
