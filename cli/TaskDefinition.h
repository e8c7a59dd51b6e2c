// The scheduled compare: its task, the folder its metrics file goes to, and
// its definition, made from res/installer/qmverify-task.xml.
#pragma once

#include <string>

#include "cli/CommandLine.h"

namespace qm::cli {

// The task's name in the Task Scheduler's root folder.
constexpr char kTaskName[] = "qmverify";

// Where the task's run writes its metrics file (qmverify.prom), as the task
// names it; the scheduler fills in the variable.
constexpr char kScheduledMetricsFolder[] = "%ProgramData%\\qmverify";

// The definition of the task that runs `program` (a whole path) in its own
// folder every hour or every day.
std::string TaskDefinition(const std::string& program, Every every);

// `text` with the characters that XML gives a meaning (& < > " ') escaped.
std::string XmlText(const std::string& text);

}  // namespace qm::cli
