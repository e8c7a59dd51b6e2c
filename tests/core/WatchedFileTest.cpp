// Who signed a file stands beside its verdict: only the files of rows that
// are not identical are asked about (so that an all-identical comparison
// makes no signature call), the answer travels with the row, and no answer
// ever changes a status.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "ForwardingPlatform.h"
#include "SampleInstallation.h"
#include "core/ComparisonRun.h"
#include "core/ResultTable.h"
#include "core/WatchedFile.h"

namespace qm {
namespace {

using test::SampleInstallation;

// Answers every signature question with one answer and keeps the paths asked.
class SignatureAnswers : public test::ForwardingPlatform {
public:
    SignatureCheck answer;
    std::vector<std::string> asked;

    SignatureCheck FileSignature(const std::string& path) override {
        const std::lock_guard<std::mutex> hold(m_mutex);
        asked.push_back(path);
        return answer;
    }

private:
    std::mutex m_mutex;
};

CResultTable Compare(bool unlisted = false) {
    CResultTable table;
    SortState sort;
    UnlistedScope scope;
    scope.sections[0] = scope.sections[1] = unlisted;
    RunComparison(table, sort, ComparisonHooks(), scope);
    return table;
}

// The path, the status and the cause of every row, in order.
std::vector<std::string> Verdicts(const CResultTable& table) {
    std::vector<std::string> verdicts;
    for (const ResultRow& row : table.Rows()) {
        verdicts.push_back(row.file.path + " " + std::to_string(row.file.status) + " " +
                           std::to_string(static_cast<int>(row.file.cause)));
    }
    return verdicts;
}

TEST(WatchedFiles, AnAllIdenticalComparisonAsksNoSignatureAtAll) {
    SampleInstallation sample;
    for (int i = 0; i < 200; ++i) {
        sample.WriteFile("qmw", "tool" + std::to_string(i) + ".exe", "q" + std::to_string(i));
        sample.WriteFile("db1", "store" + std::to_string(i) + ".dll", "d" + std::to_string(i));
    }
    Compare();  // builds the list
    CResultTable table = Compare(true);
    ASSERT_EQ(table.RowCount(), 400);
    SignatureAnswers answers;
    EXPECT_EQ(CheckSignatures(table), 0);
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_TRUE(WatchedFiles(table).empty());
}

TEST(WatchedFiles, OnlyFilesThatAreNotIdenticalAreAskedAndNoAnswerChangesAStatus) {
    SampleInstallation sample;
    sample.WriteFile("qmw", "same.exe", "same");
    sample.WriteFile("qmw", "changed.exe", "old");
    sample.WriteFile("qmw", "marked.dll", "old");
    sample.WriteFile("db1", "gone.dll", "here");
    Compare();
    sample.WriteFile("qmw", "changed.exe", "new");
    sample.WriteFile("qmw", "marked.dll", "new");
    sample.MarkUpdated("qmw", "marked.dll");
    sample.RemoveFile("db1/gone.dll");
    sample.WriteFile("db1", "planted.dll", "planted");
    // A name so long that the row shows its path cut: the record keeps it whole.
    const std::string longName(130, 'x');
    sample.WriteFile("qmw", longName + ".exe", "long");

    CResultTable table = Compare(true);
    const std::vector<std::string> before = Verdicts(table);
    SignatureAnswers answers;
    answers.answer.state = FileSignatureState::Signed;
    answers.answer.signer = "Quillmark";
    EXPECT_EQ(CheckSignatures(table), 4);
    std::sort(answers.asked.begin(), answers.asked.end());
    EXPECT_EQ(answers.asked,
              (std::vector<std::string>{"\\db1.\\planted.dll", "\\qmw.\\changed.exe",
                                        "\\qmw.\\marked.dll", "\\qmw.\\" + longName + ".exe"}));
    EXPECT_EQ(Verdicts(table), before);

    // The answers travel with the records; the missing file's keeps none.
    EXPECT_EQ(WatchedFiles(table).size(), 5u);
    for (const ComparedFile* file : WatchedFiles(table)) {
        SCOPED_TRACE(file->path);
        const bool asked = file->path.find("gone") == std::string::npos;
        EXPECT_EQ(file->signatureState,
                  asked ? FileSignatureState::Signed : FileSignatureState::NotChecked);
        EXPECT_EQ(SignerText(*file), asked ? "signed by Quillmark" : "not checked");
    }
}

TEST(WatchedFiles, OnlyAChangedOrPlantedFileWithoutAValidSignatureCountsAsUnvouched) {
    ComparedFile file;
    for (FileStatus status : {NotIdentical, NotListed, Updated, Identical}) {
        for (FileSignatureState state :
             {FileSignatureState::Signed, FileSignatureState::Unsigned, FileSignatureState::Broken,
              FileSignatureState::NotTrusted, FileSignatureState::Unknown,
              FileSignatureState::NotChecked}) {
            file.status = status;
            file.signatureState = state;
            const bool changed = status == NotIdentical || status == NotListed;
            const bool invalid = state == FileSignatureState::Unsigned ||
                                 state == FileSignatureState::Broken ||
                                 state == FileSignatureState::NotTrusted;
            EXPECT_EQ(ChangedWithoutValidSignature(file), changed && invalid)
                << status << " " << static_cast<int>(state);
        }
    }
}

TEST(WatchedFiles, WindowsAnswersReadAsTheFourStates) {
    // What Wine never answers (it trusts any root) is read as Windows means it.
    EXPECT_EQ(FileSignatureStateOf(0), FileSignatureState::Signed);
    EXPECT_EQ(FileSignatureStateOf(0x800B0100), FileSignatureState::Unsigned);    // no signature
    EXPECT_EQ(FileSignatureStateOf(0x800B0003), FileSignatureState::Unsigned);    // a .bat, say
    EXPECT_EQ(FileSignatureStateOf(0x80096010), FileSignatureState::Broken);      // bad digest
    EXPECT_EQ(FileSignatureStateOf(0x800B0109), FileSignatureState::NotTrusted);  // untrusted root
    EXPECT_EQ(FileSignatureStateOf(0x800B0101), FileSignatureState::NotTrusted);  // expired
    EXPECT_EQ(FileSignatureStateOf(0x800B0111),
              FileSignatureState::NotTrusted);                        // explicitly distrusted
    EXPECT_EQ(FileSignatureStateOf(2), FileSignatureState::Unknown);  // file not found
    ComparedFile broken;
    broken.signatureState = FileSignatureState::Broken;
    EXPECT_EQ(SignerText(broken), "signature broken (hash mismatch)");
    EXPECT_EQ(FileSignatureStateName(FileSignatureState::NotTrusted), std::string("untrusted"));
    EXPECT_EQ(FileSignatureStateName(FileSignatureState::NotChecked), nullptr);
}

}  // namespace
}  // namespace qm
