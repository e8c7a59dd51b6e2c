// How far a comparison or a build has come, as the window and the command
// line show it, and the hook through which the caller stops a run: it is
// asked after every file, and a run that hears false stops there (a build
// then changes nothing).
#pragma once

#include <cstdint>
#include <functional>

namespace qm {

struct RunProgress {
    enum class Stage {
        Recording,  // the build reads the files it records
        Comparing,  // the comparison reads the listed files and those no entry names
    };
    Stage stage = Stage::Comparing;
    int filesDone = 0;
    int filesTotal = 0;
    uint64_t bytesDone = 0;
    uint64_t bytesTotal = 0;  // 0 when the directories tell no sizes
};

// Returns false to stop the run.
using ProgressHook = std::function<bool(const RunProgress&)>;

// Asks `hook` (true when there is none).
inline bool GoOn(const ProgressHook& hook, const RunProgress& progress) {
    return !hook || hook(progress);
}

}  // namespace qm
