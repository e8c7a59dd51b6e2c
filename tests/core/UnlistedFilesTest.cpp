#include "core/UnlistedFiles.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace qm
