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
    RunComparison(table, sort, StatusTexts(), ComparisonHooks(), scope);
    return table;
}

// The status, the status text and the cause of every row, in order.
std::vector<std::string> Verdicts(const CResultTable& table) {
    std::vector<std::string> verdicts;
    for (const ResultRow& row : table.Rows()) {
        verdicts.push_back(row.texts[kColFileName] + " " + row.texts[kColStatus] + " " +
                           std::to_string(row.attributes.image) + " " +
                           std::to_string(static_cast<int>(row.attributes.cause)));
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
    // A name so long that the row shows its path cut: it might name another file.
    const std::string longName(130, 'x');
    sample.WriteFile("qmw", longName + ".exe", "long");

    CResultTable table = Compare(true);
    const std::vector<std::string> before = Verdicts(table);
    SignatureAnswers answers;
    answers.answer.state = SignatureState::Signed;
    answers.answer.signer = "Quillmark";
    EXPECT_EQ(CheckSignatures(table), 3);
    std::sort(answers.asked.begin(), answers.asked.end());
    EXPECT_EQ(answers.asked, (std::vector<std::string>{"\\db1.\\planted.dll", "\\qmw.\\changed.exe",
                                                       "\\qmw.\\marked.dll"}));
    EXPECT_EQ(Verdicts(table), before);

    // The answers travel with the rows; the rows not asked keep none.
    for (const WatchedFile& file : WatchedFiles(table)) {
        SCOPED_TRACE(file.path);
        const bool asked = file.path.find("gone") == std::string::npos &&
                           file.path.find("xxx") == std::string::npos;
        EXPECT_EQ(file.signature.state,
                  asked ? SignatureState::Signed : SignatureState::NotChecked);
        EXPECT_EQ(SignatureText(file.signature), asked ? "signed by Quillmark" : "not checked");
        EXPECT_EQ(table.Rows()[file.row].texts[kColFileName], file.path);
    }
}

TEST(WatchedFiles, OnlyAChangedOrPlantedFileWithoutAValidSignatureCountsAsUnvouched) {
    WatchedFile file;
    for (FileStatus status : {NotIdentical, NotListed, Updated, Identical}) {
        for (SignatureState state :
             {SignatureState::Signed, SignatureState::Unsigned, SignatureState::Broken,
              SignatureState::NotTrusted, SignatureState::Unknown, SignatureState::NotChecked}) {
            file.status = status;
            file.signature.state = state;
            const bool changed = status == NotIdentical || status == NotListed;
            const bool invalid = state == SignatureState::Unsigned ||
                                 state == SignatureState::Broken ||
                                 state == SignatureState::NotTrusted;
            EXPECT_EQ(ChangedWithoutValidSignature(file), changed && invalid)
                << status << " " << static_cast<int>(state);
        }
    }
}

TEST(WatchedFiles, WindowsAnswersReadAsTheFourStates) {
    // What Wine never answers (it trusts any root) is read as Windows means it.
    EXPECT_EQ(SignatureStateOf(0), SignatureState::Signed);
    EXPECT_EQ(SignatureStateOf(0x800B0100), SignatureState::Unsigned);    // no signature
    EXPECT_EQ(SignatureStateOf(0x800B0003), SignatureState::Unsigned);    // a .bat, say
    EXPECT_EQ(SignatureStateOf(0x80096010), SignatureState::Broken);      // bad digest
    EXPECT_EQ(SignatureStateOf(0x800B0109), SignatureState::NotTrusted);  // untrusted root
    EXPECT_EQ(SignatureStateOf(0x800B0101), SignatureState::NotTrusted);  // expired
    EXPECT_EQ(SignatureStateOf(0x800B0111), SignatureState::NotTrusted);  // explicitly distrusted
    EXPECT_EQ(SignatureStateOf(2), SignatureState::Unknown);              // file not found
    EXPECT_EQ(SignatureText({SignatureState::Broken, "", 0}), "signature broken (hash mismatch)");
    EXPECT_EQ(SignatureStateName(SignatureState::NotTrusted), std::string("untrusted"));
    EXPECT_EQ(SignatureStateName(SignatureState::NotChecked), nullptr);
}

}  // namespace
}  // namespace qm
