// schedule install|remove|show: the scheduled compare of a copy that no
// installer set up (the portable zip), and what the installer does with
// SCHEDULE=hourly|daily: the task, the event source that names this program's
// messages, and the folder of the task's metrics file.
#include "cli/Commands.h"
#include "cli/EventCatalog.h"
#include "cli/TaskDefinition.h"
#include "platform/AsciiCase.h"
#include "platform/Platform.h"

namespace qm::cli {

namespace {

// SCHED_E_SERVICE_NOT_RUNNING, which the system has no words for.
constexpr uint32_t kSchedulerNotRunning = 0x80041315;

std::string ScheduleFailure(const std::string& what, uint32_t error) {
    if (error == kErrorNotSupported) {
        return what +
               ": the Task Scheduler and the event log are Windows's; elsewhere, run compare "
               "--metrics-file from a systemd timer or cron";
    }
    if (IsWriteRefused(error)) {
        return what + ": this needs administrator rights (" + Platform().ErrorText(error) +
               "); run it from a command prompt started with \"Run as administrator\"";
    }
    if (error == kSchedulerNotRunning) return what + ": the Task Scheduler service is not running";
    return what + ": " + Platform().ErrorText(error);
}

// A set-up that failed is told in the event log too: an installer run by a
// management agent shows no message to anybody.
int FailSchedule(const std::string& what, uint32_t error) {
    const std::string reason = ScheduleFailure(what, error);
    if (error != kErrorNotSupported)
        Platform().WriteEvent(EventType::Error, kEventScheduleFailed, {reason});
    return Fail(reason);
}

// The message file that the registered event source names; "" when none is.
std::string RegisteredMessageFile() {
    std::vector<RegistryValue> values;
    if (!Platform().ReadMachineKey(kEventSourceKey, {"EventMessageFile"}, values) ||
        values.empty() || values[0].type != RegistryValue::Type::Text) {
        return std::string();
    }
    return values[0].data;
}

int InstallSchedule(Every every) {
    IPlatform& platform = Platform();
    const std::string program = platform.ProgramPath();
    if (program.empty())
        return FailSchedule("the path of qmverify-cli is unknown", kErrorFileNotFound);
    uint32_t error = platform.InstallEventSource(program);
    if (error != kErrorSuccess)
        return FailSchedule("the event source qmverify was not registered", error);
    const std::string folder = platform.ExpandEnvironment(kScheduledMetricsFolder);
    error = platform.CreateProtectedDirectory(folder);
    if (error != kErrorSuccess && error != kErrorAlreadyExists) {
        return FailSchedule("the folder " + Shown(folder) + " of the metrics file was not made",
                            error);
    }
    error = platform.RegisterTask(kTaskName, TaskDefinition(program, every));
    if (error != kErrorSuccess)
        return FailSchedule("the scheduled task qmverify was not registered", error);
    return Report(std::string("Scheduled task ") + kTaskName + " registered: " + Shown(program) +
                  " compares every " + (every == Every::Hour ? "hour" : "day") +
                  " as SYSTEM.\nEvents: Application log, source " + kEventSourceName +
                  ".\nMetrics: " + Shown(folder) + "\\qmverify.prom\n");
}

int RemoveSchedule() {
    IPlatform& platform = Platform();
    uint32_t error = platform.DeleteTask(kTaskName);
    if (error != kErrorSuccess && error != kErrorFileNotFound) {
        return Fail(ScheduleFailure("the scheduled task qmverify was not removed", error));
    }
    std::string report = error == kErrorSuccess ? "Scheduled task qmverify removed.\n"
                                                : "No scheduled task qmverify.\n";
    // Another copy (the installed one, say) keeps the source that names it.
    const std::string messages = RegisteredMessageFile();
    if (!messages.empty() && EqualNoCase(messages, platform.ProgramPath())) {
        error = platform.RemoveEventSource();
        if (error != kErrorSuccess) {
            return Fail(ScheduleFailure("the event source qmverify was not removed", error));
        }
        report += "Event source qmverify removed.\n";
    }
    return Report(report);
}

int ShowSchedule() {
    IPlatform& platform = Platform();
    std::string definition;
    const uint32_t error = platform.ReadTask(kTaskName, definition);
    const bool found = error == kErrorSuccess;
    if (!found && error != kErrorFileNotFound && error != kErrorPathNotFound) {
        return Fail(ScheduleFailure("the scheduled task qmverify could not be read", error));
    }
    std::string report = found ? definition : "No scheduled task qmverify.";
    if (report.empty() || report.back() != '\n') report += '\n';
    const std::string messages = RegisteredMessageFile();
    report += messages.empty() ? "No event source qmverify.\n"
                               : "Event source qmverify: messages of " + Shown(messages) + "\n";
    const int status = Report(report);
    return status == kExitOk && !found ? kExitDifferences : status;
}

}  // namespace

int RunSchedule(const CommandLine& line) {
    const std::string& action = line.operands[0];
    if (action == "install") return InstallSchedule(line.every);
    if (action == "remove") return RemoveSchedule();
    if (action == "show") return ShowSchedule();
    return Fail("'schedule' takes install, remove or show, not '" + Printable(action) + "'");
}

}  // namespace qm::cli
