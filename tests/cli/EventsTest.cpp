// The events of compare --event-log, as they reach the platform: type,
// identifier and strings of the summary and of each file that is not
// identical, for an all-identical run, a changed, a planted and a crafted
// file and a list that cannot be compared whole; at most 50 file events and
// one that counts the rest. Under Wine every identifier resolves in the
// message table of the built qmverify-cli.exe with as many inserts as the
// command line writes; the README lists each.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "CrcForge.h"
#include "SampleInstallation.h"
#include "cli/CompareWatch.h"
#include "cli/EventCatalog.h"
#include "core/ComparisonRun.h"
#include "core/ForwardingPlatform.h"
#include "core/Sha256.h"

namespace qm::cli {
namespace {

struct WrittenEvent {
    EventType type;
    uint32_t id;
    std::vector<std::string> inserts;
};

// Keeps every event written and answers each signature question with
// "signed by Quillmark" for tool.exe, "unsigned" for any other file.
class EventRecorder : public test::ForwardingPlatform {
public:
    std::vector<WrittenEvent> events;

    uint32_t WriteEvent(EventType type, uint32_t id,
                        const std::vector<std::string>& inserts) override {
        events.push_back({type, id, inserts});
        return kErrorSuccess;
    }
    SignatureCheck FileSignature(const std::string& path) override {
        SignatureCheck check;
        const bool tool = path.find("tool.exe") != std::string::npos;
        check.state = tool ? FileSignatureState::Signed : FileSignatureState::Unsigned;
        check.signer = tool ? "Quillmark" : "";
        return check;
    }
};

class EventsOfARun : public ::testing::Test {
protected:
    void SetUp() override {
        m_sample.WriteFile("qmw", "tool.exe", "tool");
        m_sample.WriteFile("db1", "store.dll", "store");
        Record();
    }

    // A new list of the files as they are: the comparison builds it.
    void Record() {
        m_sample.RemoveInWindows(kReleaseListName);
        CResultTable table;
        SortState sort;
        RunComparison(table, sort, ComparisonHooks());
    }

    // compare --unlisted --event-log, but for its output, with the recorder in force.
    std::vector<WrittenEvent> Compare() {
        EventRecorder recorder;
        CResultTable table;
        SortState sort;
        UnlistedScope scope;
        scope.sections[0] = scope.sections[1] = true;
        const ComparisonResult result = RunComparison(table, sort, ComparisonHooks(), scope);
        CommandLine line;
        line.command = Command::Compare;
        line.unlisted = line.eventLog = true;
        RunFacts facts;
        facts.unlisted = true;
        facts.findings = result.findings;
        GatherWatchFacts(line, table, facts, m_sample.ReleaseListPath());
        FinishWatched(line, table, facts, m_sample.ReleaseListPath(), kExitOk);
        for (const WrittenEvent& event : recorder.events) {
            EXPECT_EQ(event.type, EventTypeOf(event.id));
            EXPECT_EQ(static_cast<int>(event.inserts.size()), InsertsOf(event.id)) << event.id;
        }
        return recorder.events;
    }

    std::string ListDigest() const { return Sha256Hex(Sha256(m_sample.ListText())); }
    std::string Sha256Of(const std::string& text) const { return Sha256Hex(Sha256(text)); }
    std::string ListShown() const { return ShownPath(m_sample.ReleaseListPath()); }

    test::SampleInstallation m_sample;
};

TEST_F(EventsOfARun, AllIdenticalIsOneInformation) {
    const std::vector<WrittenEvent> events = Compare();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, EventType::Information);
    EXPECT_EQ(events[0].id, kEventRunIdentical);
    EXPECT_EQ(events[0].inserts, (std::vector<std::string>{"2", "2", "0", "0", "0", "0", "0",
                                                           ListShown(), ListDigest()}));
}

TEST_F(EventsOfARun, AChangedAndAPlantedFileAreWarningsWithTheirSigners) {
    m_sample.WriteFile("qmw", "tool.exe", "pool");
    m_sample.WriteFile("db1", "planted.dll", "planted");
    const std::vector<WrittenEvent> events = Compare();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, EventType::Warning);
    EXPECT_EQ(events[0].id, kEventRunDifferences);
    // Of 3 compared: 1 identical, 1 not identical, 0 updated, 1 not listed,
    // none crafted, 1 changed or planted without a valid signature.
    EXPECT_EQ(events[0].inserts, (std::vector<std::string>{"3", "1", "1", "0", "1", "0", "1",
                                                           ListShown(), ListDigest()}));
    EXPECT_EQ(events[1].id, kEventFileNotIdentical);
    EXPECT_EQ(events[1].type, EventType::Warning);
    EXPECT_EQ(
        events[1].inserts,
        (std::vector<std::string>{"\\qmw.\\tool.exe", "qmw", "1", "content changed",
                                  "signed by Quillmark", Sha256Of("pool"), Sha256Of("tool"), ""}));
    EXPECT_EQ(events[2].id, kEventFileNotListed);
    EXPECT_EQ(events[2].type, EventType::Warning);
    EXPECT_EQ(events[2].inserts, (std::vector<std::string>{"\\db1.\\planted.dll", "db1", "unsigned",
                                                           Sha256Of("planted")}));
}

TEST_F(EventsOfARun, ACraftedFileHasAnEventOfItsOwn) {
    const std::string program(4096, 'p');
    m_sample.WriteFile("qmw", "crafted.exe", program);
    Record();
    m_sample.WriteFile("qmw", "crafted.exe", test::CraftedLike(program));
    const std::vector<WrittenEvent> events = Compare();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].inserts[5], "1");  // crafted
    EXPECT_EQ(events[1].id, kEventFileCrafted);
    EXPECT_EQ(events[1].type, EventType::Warning);
    EXPECT_EQ(events[1].inserts[0], "\\qmw.\\crafted.exe");
    EXPECT_EQ(events[1].inserts[3], "content changed, CRC-32 equal");
    EXPECT_EQ(events[1].inserts[4], "unsigned");
}

TEST_F(EventsOfARun, AListThatCannotBeComparedWholeIsAnError) {
    // An entry behind a gap in qmw, which no walk reaches.
    std::string list = m_sample.ListText();
    list.insert(list.find("[db1]"), "File3=lost.dll\r\n");
    m_sample.WriteList(list);
    const std::vector<WrittenEvent> events = Compare();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, EventType::Error);
    EXPECT_EQ(events[0].id, kEventRunListProblem);
    EXPECT_EQ(events[0].inserts[9], "section qmw holds 1 entry that is never compared (File3)");
}

TEST_F(EventsOfARun, FiftyFilesOneByOneTheMostAlarmingFirstThenTheCount) {
    const std::string program(4096, 'c');
    m_sample.WriteFile("qmw", "crafted.exe", program);
    for (int i = 0; i < 60; ++i) m_sample.WriteFile("db1", "f" + std::to_string(i) + ".dll", "f");
    Record();
    for (int i = 0; i < 60; ++i) m_sample.WriteFile("db1", "f" + std::to_string(i) + ".dll", "g");
    m_sample.WriteFile("qmw", "crafted.exe", test::CraftedLike(program));
    const std::vector<WrittenEvent> events = Compare();
    ASSERT_EQ(events.size(), 1u + kMostFileEvents + 1u);
    EXPECT_EQ(events[1].id, kEventFileCrafted);
    EXPECT_EQ(events[2].id, kEventFileNotIdentical);
    EXPECT_EQ(events.back().id, kEventFileMore);
    EXPECT_EQ(events.back().inserts, std::vector<std::string>{"11"});  // 61 - 50
}

#ifdef _WIN32
// FormatMessageW of every event against the message table of the built
// program, with inserts that show where each goes and one too many.
TEST(EventMessages, EveryEventResolvesInTheProgramWithItsInserts) {
    const std::wstring program(QMVERIFY_CLI_PATH, QMVERIFY_CLI_PATH + sizeof QMVERIFY_CLI_PATH - 1);
    const HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << QMVERIFY_CLI_PATH;
    for (const EventKind& kind : kEventKinds) {
        SCOPED_TRACE(kind.id);
        std::vector<std::wstring> texts;
        for (int i = 1; i <= 99; ++i) {
            texts.push_back(i <= kind.inserts ? L"<" + std::to_wstring(i) + L">" : L"<unused>");
        }
        std::vector<DWORD_PTR> arguments;
        for (const std::wstring& text : texts)
            arguments.push_back(reinterpret_cast<DWORD_PTR>(text.c_str()));
        wchar_t* message = nullptr;
        const DWORD length =
            FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY |
                               FORMAT_MESSAGE_ALLOCATE_BUFFER,
                           module, kind.id, 0, reinterpret_cast<wchar_t*>(&message), 0,
                           reinterpret_cast<va_list*>(arguments.data()));
        ASSERT_GT(length, 0u) << "error " << GetLastError();
        const std::wstring text(message, length);
        LocalFree(message);
        for (int i = 1; i <= kind.inserts; ++i) {
            EXPECT_NE(text.find(texts[i - 1]), std::wstring::npos) << "insert " << i;
        }
        EXPECT_EQ(text.find(L"<unused>"), std::wstring::npos);
        EXPECT_EQ(text.find(L'%'), std::wstring::npos);
    }
    FreeLibrary(module);
}
#endif

// The README names every event, its type and the inserts of its message.
TEST(EventMessages, TheReadmeListsEveryEventWithItsInserts) {
    std::ifstream in(std::string(QM_GOLDEN_DIR) + "/../../../README.md", std::ios::binary);
    const std::string readme((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    ASSERT_FALSE(readme.empty());
    for (const EventKind& kind : kEventKinds) {
        const std::string number = std::to_string(kind.id & 0xFFFFu);
        const size_t row = readme.find("\n| " + number + " |");
        ASSERT_NE(row, std::string::npos) << number;
        const std::string line = readme.substr(row + 1, readme.find('\n', row + 1) - row - 1);
        const char* type = EventTypeOf(kind.id) == EventType::Information ? "Information"
                           : EventTypeOf(kind.id) == EventType::Warning   ? "Warning"
                                                                          : "Error";
        EXPECT_NE(line.find(type), std::string::npos) << line;
        EXPECT_NE(line.find("%" + std::to_string(kind.inserts)), std::string::npos) << line;
        EXPECT_EQ(line.find("%" + std::to_string(kind.inserts + 1)), std::string::npos) << line;
    }
}

}  // namespace
}  // namespace qm::cli
