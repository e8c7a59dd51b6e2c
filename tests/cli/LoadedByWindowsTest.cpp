#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "CliFixture.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using namespace cli_test;

constexpr char kOptionsKey[] =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";

// DevOverrideEnable = 1 while it lives: in this Wine prefix's registry, or
// in the exported registry file that the stand-in reads.
class ScopedDevOverride {
public:
    explicit ScopedDevOverride(const fs::path& file) : m_file(file) {
#ifdef _WIN32
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kOptionsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr);
        const DWORD one = 1;
        RegSetValueExA(key, "DevOverrideEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                       4);
        RegCloseKey(key);
#else
        WriteFile(file,
                  std::string("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\") +
                      kOptionsKey + "]\r\n\"DevOverrideEnable\"=dword:00000001\r\n");
#endif
    }
    ~ScopedDevOverride() {
#ifdef _WIN32
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kOptionsKey, "DevOverrideEnable");
#endif
    }
    std::vector<std::pair<std::string, std::string>> Environment() const {
        return {{"QMVERIFY_REGISTRY", m_file.string()}};
    }

private:
    fs::path m_file;
};

// The cause of the JSON row whose file name is `name` (JSON-escaped, whole).
std::string CauseOf(const std::string& json, const std::string& name) {
    const size_t row = json.find("\"filename\": \"" + name + "\"");
    if (row == std::string::npos) return "(no row)";
    const size_t cause = json.find("\"cause\": \"", row);
    return json.substr(cause + 10, json.find('"', cause + 10) - cause - 10);
}

// What Windows would load through names that no mask takes is told by
// compare --unlisted, each with its cause, and machine-wide redirection on
// standard error and in the metrics; a file that is no program is not.
TEST_F(CliTest, WhatWindowsLoadsBesideAProgramIsToldWithItsCause) {
    m_install.WriteFile("db1", "setup.exe", "MZ setup");
    Build();
    m_install.MakeDirectory("qmw/tool.exe.local");
    WriteFile(Root() / "qmw" / "tool.exe.local" / "evil.dll", "MZ evil");
    WriteFile(Root() / "db1" / "setup.exe.local", "");
    WriteFile(Root() / "qmw" / "tool.exe.manifest", "<assembly/>");
    WriteFile(Root() / "qmw" / "tool.exe.config", "<configuration/>");
    WriteFile(Root() / "qmw" / "evil.ocx", "MZ\x90");
    WriteFile(Root() / "qmw" / "notes.dat", "no program");

    const ScopedDevOverride devOverride(m_base / "machine.reg");
    CliRun run = Cli({"compare", "--unlisted", "--format", "json"}, "", devOverride.Environment());
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(CauseOf(run.out, "\\\\qmw.\\\\tool.exe.local"), "DLL redirection");
    EXPECT_EQ(CauseOf(run.out, "\\\\qmw.\\\\tool.exe.local\\\\evil.dll"), "DLL redirection");
    EXPECT_EQ(CauseOf(run.out, "\\\\db1.\\\\setup.exe.local"), "DLL redirection");
    EXPECT_EQ(CauseOf(run.out, "\\\\qmw.\\\\tool.exe.manifest"), "manifest");
    EXPECT_EQ(CauseOf(run.out, "\\\\qmw.\\\\tool.exe.config"), "manifest");
    EXPECT_EQ(CauseOf(run.out, "\\\\qmw.\\\\evil.ocx"), "program file by content");
    EXPECT_EQ(run.out.find("notes.dat"), std::string::npos);
    EXPECT_EQ(CauseOf(run.out, "\\\\db1.\\\\setup.exe"), "same content");
    EXPECT_NE(run.err.find("DLL redirection is on for every program (DevOverrideEnable = 1)."),
              std::string::npos)
        << run.err;

    run = Cli({"compare", "--unlisted", "--format", "openmetrics"}, "", devOverride.Environment());
    EXPECT_NE(run.out.find("qmverify_dll_redirection_enabled 1\n"), std::string::npos);
    EXPECT_NE(run.out.find("qmverify_unlisted_files{section=\"qmw\"} 5\n"), std::string::npos);
}

}  // namespace
