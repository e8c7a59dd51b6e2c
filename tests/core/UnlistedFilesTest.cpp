#include "core/UnlistedFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SampleInstallation.h"

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
