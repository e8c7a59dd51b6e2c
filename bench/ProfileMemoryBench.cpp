// How much memory the profile engine takes for a list at the size limit
// (just under 64 MiB): loaded, and loaded with one entry written and saved,
// as a multiple of the file's size. Three lists: entries with 100-character
// comments, entries without comments (short lines), and millions of tiny
// distinct keys (the worst case per byte). Each is measured in a child
// process of its own, whose peak resident size is the figure.
//
//   bench_ini_memory [WORKDIR]
// prints "ini-memory: comments=<load>x/<save>x entries=... tiny=..."
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/IniFile.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

// Writes a list of one kind up to just under the limit, line by line.
void WriteList(const std::string& kind, const fs::path& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const uint64_t limit = qm::kMaxWholeFileSize - 4096;
    uint64_t size = 0;
    out << "[qmw]\r\n";
    for (int n = 1; size < limit; ++n) {
        const std::string number = std::to_string(n);
        std::string lines;
        if (kind == "tiny") {
            lines = "k" + number + "=\r\n";
        } else {
            lines = "File" + number + "=program" + number + ".exe\r\nDate" + number +
                    "=07.12.2026 11:45\r\nCRC" + number + "=cbf43926\r\nUpdated" + number +
                    "=0\r\nComment" + number + "=" +
                    (kind == "comments" ? std::string(100, 'c') : std::string()) + "\r\n";
        }
        out << lines;
        size += lines.size();
    }
}

// The peak resident size, in bytes, of a child that loads the list (and
// writes and saves it when `save`).
double PeakOfChild(const fs::path& list, bool save) {
    const pid_t child = fork();
    if (child == 0) {
        qm::CIniFile ini;
        bool ok = ini.Load(list.string());
        if (ok && save) {
            ini.WriteText("qmw", "Comment1", "written");
            ok = ini.SaveAs(list.string() + ".saved");
        }
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    struct rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || status != 0) return -1;
    return usage.ru_maxrss * 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path work =
        argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "qm-ini-memory";
    fs::create_directories(work);
    std::string summary = "ini-memory:";
    for (const char* kind : {"comments", "entries", "tiny"}) {
        const fs::path list = work / (std::string(kind) + ".lst");
        WriteList(kind, list);
        const double size = static_cast<double>(fs::file_size(list));
        const double load = PeakOfChild(list, false);
        const double save = PeakOfChild(list, true);
        std::printf("%-8s %5.1f MiB: load %6.1f MiB, load+write+save %6.1f MiB\n", kind,
                    size / 1048576, load / 1048576, save / 1048576);
        char figures[64];
        std::snprintf(figures, sizeof figures, " %s=%.1fx/%.1fx", kind, load / size, save / size);
        summary += figures;
        fs::remove(list);
        fs::remove(list.string() + ".saved");
    }
    std::printf("%s\n", summary.c_str());
    return 0;
}
