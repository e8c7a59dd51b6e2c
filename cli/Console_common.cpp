// What both systems' consoles share: reading a line of standard input.
#include <cstdio>

#include "cli/Console.h"

namespace qm::cli {

bool ReadInputLine(std::string& line, size_t capacity) {
    line.clear();
    bool anyByte = false;
    for (int c = std::getchar(); c != EOF; c = std::getchar()) {
        anyByte = true;
        if (c == '\n') break;
        if (line.size() < capacity) line += static_cast<char>(c);
    }
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return anyByte;
}

}  // namespace qm::cli
