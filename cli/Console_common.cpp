// What both systems' consoles share: a bounded line of standard input.
#include "cli/Console.h"

namespace qm::cli {

InputLine ReadInputLine(std::string& line, size_t capacity, std::string& reason) {
    line.clear();
    // One byte more than the line may hold: its LF, or the proof that none
    // comes in time.
    for (size_t count = 0; count <= capacity; ++count) {
        char byte = 0;
        const InputByte read = ReadInputByte(byte, reason);
        if (read == InputByte::Failed) return InputLine::Failed;
        if (read == InputByte::Ended && count == 0) return InputLine::Ended;
        if (read == InputByte::Ended || byte == '\n') {
            while (!line.empty() && line.back() == '\r') line.pop_back();
            return InputLine::Read;
        }
        line += byte;
    }
    line.clear();
    return InputLine::TooLong;
}

}  // namespace qm::cli
