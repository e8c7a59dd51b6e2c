#include "core/UnlistedFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SampleInstallation.h"
#include "core/DllRedirection.h"
#include "core/FaultPlatform.h"

namespace qm {
namespace {

// Windows names a file without regard to case: a file that an entry names
// in other letters is released, whichever way either is spelt.
TEST(UnlistedFiles, ANameListedInOtherLettersIsTheSameFile) {
    test::SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "tool");
    sample.WriteFile("qmw/HELPER.dll", "helper");
    sample.WriteFile("qmw/planted.dll", "planted");
    sample.WriteFile("db1/Store.Dll", "store");
    CIniFile list;
    list.LoadText("[qmw]\r\nFile1=Tool.EXE\r\nFile2=helper.DLL\r\n[DB1]\r\nFile1=store.dll\r\n");
    UnlistedScope scope;
    scope.sections[0] = scope.sections[1] = true;

    const UnlistedFiles found = FindUnlistedFiles(list, scope);
    ASSERT_EQ(found.files.size(), 1u);
    EXPECT_EQ(found.files[0].path, "\\qmw.\\planted.dll");
    EXPECT_EQ(found.files[0].sectionIndex, 0);
    EXPECT_TRUE(found.unsearched.empty());
}

// An entry that no walk reaches releases nothing: the comparison never
// checks the file it names, so the file is shown as planted.
TEST(UnlistedFiles, ANameBehindAGapIsNotListed) {
    test::SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "tool");
    sample.WriteFile("qmw/behind.dll", "planted");
    CIniFile list;
    list.LoadText("[qmw]\r\nFile1=tool.exe\r\nFile3=behind.dll\r\n");
    UnlistedScope scope;
    scope.sections[0] = true;

    const UnlistedFiles found = FindUnlistedFiles(list, scope);
    ASSERT_EQ(found.files.size(), 1u);
    EXPECT_EQ(found.files[0].path, "\\qmw.\\behind.dll");
}

std::vector<std::string> PathsOf(const UnlistedFiles& found) {
    std::vector<std::string> paths;
    for (const UnlistedFile& file : found.files) paths.push_back(file.path);
    return paths;
}

// A name that only looks like a listed one is a file of its own, and a
// name the ANSI code page cannot spell comes back as it is, never as its
// best fit or a '?': each of them is planted.
TEST(UnlistedFiles, ALookAlikeIsItsOwnFileByItsTrueName) {
    test::SampleInstallation sample;
    const std::string kLookAlikes[] = {"t\xC5\x8Dol.exe", "\xC4\x81.dll", "\xD0\xB5vil.dll",
                                       "\xE8\xA9\x95\xE4\xBE\xA1.exe"};
    for (const char* listed : {"tool.exe", "a.dll", "evil.dll"})
        sample.WriteFile("qmw", listed, "x");
    for (const std::string& name : kLookAlikes) sample.WriteFile("qmw", name, "planted");
    CIniFile list;
    list.LoadText("[qmw]\r\nFile1=tool.exe\r\nFile2=A.DLL\r\nFile3=evil.dll\r\n");
    UnlistedScope scope;
    scope.sections[0] = true;

    std::vector<std::string> paths = PathsOf(FindUnlistedFiles(list, scope));
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> expected;
    for (const std::string& name : kLookAlikes) expected.push_back("\\qmw.\\" + name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(paths, expected);
}

// Beyond the masks, what Windows loads for a program is shown with its own
// cause: a .exe.local file or folder beside any program and each file in
// that folder, a manifest or .config beside a program, and a program under
// any other name. Listed names stay listed, and a name that only ends like
// one of them, beside no program, or a file that is no program is not shown.
TEST(UnlistedFiles, WhatWindowsLoadsBesideAProgramIsShownWithItsCause) {
    test::SampleInstallation sample;
    sample.WriteFile("qmw", "tool.exe", "MZ tool");
    sample.WriteFile("qmw", "setup.exe", "MZ planted");
    sample.MakeDirectory("qmw/tool.exe.local");
    sample.WriteFile("qmw/tool.exe.local/evil.dll", "MZ evil");
    sample.WriteFile("qmw", "setup.exe.local", "");
    sample.WriteFile("qmw", "Tool.EXE.Manifest", "<assembly/>");
    sample.WriteFile("qmw", "tool.exe.config", "<configuration/>");
    sample.WriteFile("qmw", "evil.ocx", "MZ");
    sample.WriteFile("qmw", "listed.ocx", "MZ released");
    sample.WriteFile("qmw", "notes.dat", "no program");
    sample.WriteFile("qmw", "M", "M");
    sample.WriteFile("qmw", "other.exe.manifest", "<assembly/>");
    sample.MakeDirectory("qmw/other.exe.local");
    sample.WriteFile("db1", "tool.exe.config", "<configuration/>");
    CIniFile list;
    list.LoadText("[qmw]\r\nFile1=tool.exe\r\nFile2=listed.ocx\r\n");
    UnlistedScope scope;
    scope.sections[0] = scope.sections[1] = true;

    std::vector<std::string> rows;
    for (const UnlistedFile& file : FindUnlistedFiles(list, scope).files)
        rows.push_back(file.path + " " + CauseText(file.cause));
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "\\qmw.\\Tool.EXE.Manifest manifest",
                        "\\qmw.\\evil.ocx program file by content",
                        "\\qmw.\\setup.exe not listed",
                        "\\qmw.\\setup.exe.local DLL redirection",
                        "\\qmw.\\tool.exe.config manifest",
                        "\\qmw.\\tool.exe.local DLL redirection",
                        "\\qmw.\\tool.exe.local\\evil.dll DLL redirection",
                    }));
}

// Machine-wide redirection is the DWORD 1 alone.
TEST(DllRedirection, IsOnOnlyForTheDwordOne) {
    test::FaultPlatform platform;
    platform.fakeRegistry = true;
    EXPECT_FALSE(DllRedirectionEnabled());
    const auto enable = [&platform](RegistryValue::Type type, const std::string& data) {
        platform.registry[kImageFileExecutionOptionsKey] = {{"DevOverrideEnable", {type, data}}};
        return DllRedirectionEnabled();
    };
    EXPECT_TRUE(enable(RegistryValue::Type::Dword, std::string("\1\0\0\0", 4)));
    EXPECT_FALSE(enable(RegistryValue::Type::Dword, std::string("\0\0\0\0", 4)));
    EXPECT_FALSE(enable(RegistryValue::Type::Text, "1"));
    EXPECT_FALSE(enable(RegistryValue::Type::CutDword, std::string("\1", 1)));
}

#ifndef _WIN32
// The stand-in's file system tells case apart: a listed name stands for the
// one file that a search for it finds (its own spelling first), and a
// second file that differs from it in case alone is planted.
TEST(UnlistedFiles, ASecondNameInOtherLettersIsPlantedOnTheStandIn) {
    test::SampleInstallation sample;
    sample.WriteFile("qmw", "tool.exe", "tool");
    sample.WriteFile("qmw", "TOOL.EXE", "planted");
    sample.WriteFile("qmw", "Helper.dll", "helper");
    CIniFile list;
    list.LoadText("[qmw]\r\nFile1=tool.exe\r\nFile2=helper.dll\r\n");
    UnlistedScope scope;
    scope.sections[0] = true;

    EXPECT_EQ(PathsOf(FindUnlistedFiles(list, scope)),
              std::vector<std::string>{"\\qmw.\\TOOL.EXE"});
}
#endif

}  // namespace
}  // namespace qm
