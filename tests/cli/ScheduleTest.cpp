// The scheduled compare: its definition is the golden one for an installed
// qmverify-cli, hourly and daily; schedule install registers the event
// source, makes the metrics folder and registers the task, and a failure is
// told on standard error and in the event log; remove takes away the task
// and only an event source that names this program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliFixture.h"
#include "cli/Commands.h"
#include "cli/EventCatalog.h"
#include "cli/TaskDefinition.h"
#include "core/ForwardingPlatform.h"

namespace qm::cli {
namespace {

constexpr char kInstalled[] = "C:\\Program Files\\Quillmark\\qmverify\\qmverify-cli.exe";

std::string Golden(const std::string& name) {
    return cli_test::ReadFile(std::string(QM_GOLDEN_DIR) + "/" + name);
}

TEST(TaskDefinition, IsTheGoldenOneHourlyAndDaily) {
    for (const auto& [every, name] :
         {std::pair{Every::Hour, "task_hourly.xml"}, std::pair{Every::Day, "task_daily.xml"}}) {
        SCOPED_TRACE(name);
        const std::string definition = TaskDefinition(kInstalled, every);
        if (definition != Golden(name)) {
            cli_test::WriteFile(std::string("golden_") + name + ".actual", definition);
            ADD_FAILURE() << "not the golden " << name
                          << " (the definition is left beside cli_tests)";
        }
    }
}

TEST(TaskDefinition, APathIsEscapedAsXmlAndStartsInItsFolder) {
    const std::string definition =
        TaskDefinition("D:\\Tools & <Co>\\it's\\qmverify-cli.exe", Every::Hour);
    EXPECT_NE(definition.find(
                  "<Command>\"D:\\Tools &amp; &lt;Co&gt;\\it&apos;s\\qmverify-cli.exe\"</Command>"),
              std::string::npos)
        << definition;
    EXPECT_NE(definition.find(
                  "<WorkingDirectory>D:\\Tools &amp; &lt;Co&gt;\\it&apos;s</WorkingDirectory>"),
              std::string::npos);
    EXPECT_EQ(definition.find('@'), std::string::npos);  // every placeholder filled
}

// A system whose scheduler and event source the test sees and sets.
class FakeSystem : public test::ForwardingPlatform {
public:
    std::string program = kInstalled;
    std::string messageFile;  // the registered source's, "" for none
    std::string task;         // the registered definition, "" for none
    std::vector<std::string> folders;
    std::vector<uint32_t> events;
    uint32_t registerError = kErrorSuccess;

    std::string ProgramPath() override { return program; }
    std::string ExpandEnvironment(const std::string& text) override {
        return text == "%ProgramData%\\qmverify" ? "C:\\ProgramData\\qmverify" : text;
    }
    uint32_t CreateProtectedDirectory(const std::string& path) override {
        folders.push_back(path);
        return kErrorAlreadyExists;
    }
    uint32_t InstallEventSource(const std::string& file) override {
        messageFile = file;
        return kErrorSuccess;
    }
    uint32_t RemoveEventSource() override {
        messageFile.clear();
        return kErrorSuccess;
    }
    bool ReadMachineKey(const std::string& key, const std::vector<std::string>& names,
                        std::vector<RegistryValue>& values) override {
        if (key.find("EventLog\\Application\\qmverify") == std::string::npos ||
            messageFile.empty()) {
            return false;
        }
        values.assign(names.size(), RegistryValue());
        values[0].type = RegistryValue::Type::Text;
        values[0].data = messageFile;
        return true;
    }
    uint32_t RegisterTask(const std::string& name, const std::string& definition) override {
        if (registerError != kErrorSuccess) return registerError;
        EXPECT_EQ(name, "qmverify");
        task = definition;
        return kErrorSuccess;
    }
    uint32_t DeleteTask(const std::string&) override {
        const bool had = !task.empty();
        task.clear();
        return had ? kErrorSuccess : kErrorFileNotFound;
    }
    uint32_t ReadTask(const std::string&, std::string& definition) override {
        definition = task;
        return task.empty() ? kErrorFileNotFound : kErrorSuccess;
    }
    uint32_t WriteEvent(EventType, uint32_t id, const std::vector<std::string>&) override {
        events.push_back(id);
        return kErrorSuccess;
    }
};

int Schedule(const std::string& action, Every every = Every::Hour) {
    CommandLine line;
    line.command = Command::Schedule;
    line.operands = {action};
    line.every = every;
    return RunSchedule(line);
}

TEST(ScheduleCommand, InstallShowRemoveAndShowAgain) {
    FakeSystem system;
    ASSERT_EQ(Schedule("install", Every::Day), kExitOk);
    EXPECT_EQ(system.messageFile, kInstalled);
    EXPECT_EQ(system.folders, std::vector<std::string>{"C:\\ProgramData\\qmverify"});
    EXPECT_EQ(system.task, TaskDefinition(kInstalled, Every::Day));
    EXPECT_EQ(Schedule("show"), kExitOk);

    EXPECT_EQ(Schedule("remove"), kExitOk);
    EXPECT_EQ(system.task, "");
    EXPECT_EQ(system.messageFile, "");
    EXPECT_EQ(Schedule("show"), kExitDifferences);  // no task
    EXPECT_EQ(Schedule("remove"), kExitOk);         // nothing left to remove
    EXPECT_TRUE(system.events.empty());
}

TEST(ScheduleCommand, AnotherCopysEventSourceStaysAndAFailureIsAnEvent) {
    FakeSystem system;
    system.messageFile = "D:\\portable\\qmverify-cli.exe";
    system.task = "<Task/>";
    EXPECT_EQ(Schedule("remove"), kExitOk);
    EXPECT_EQ(system.messageFile, "D:\\portable\\qmverify-cli.exe");

    system.registerError = kErrorAccessDenied;
    EXPECT_EQ(Schedule("install"), kExitError);
    EXPECT_EQ(system.events, std::vector<uint32_t>{kEventScheduleFailed});
    EXPECT_EQ(Schedule("uninstall"), kExitError);
}

using ScheduleLine = cli_test::CliTest;

TEST_F(ScheduleLine, ScheduleTakesOneActionAndAnIntervalOnlyWhenItIsScheduled) {
    CliRun run = Cli({"schedule"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("'schedule' takes: install|remove|show"), std::string::npos) << run.err;
    run = Cli({"schedule", "install", "--every", "weekly"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--every takes hourly or daily, not 'weekly'"), std::string::npos);
    run = Cli({"compare", "--every", "daily"});
    EXPECT_NE(run.err.find("option --every does not belong to 'compare'"), std::string::npos);
#ifndef _WIN32
    run = Cli({"schedule", "install"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("the Task Scheduler and the event log are Windows's"), std::string::npos)
        << run.err;
#endif
}

}  // namespace
}  // namespace qm::cli
