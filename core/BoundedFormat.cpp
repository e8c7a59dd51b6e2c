#include "core/BoundedFormat.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace qm {

std::string BoundedFormat(size_t capacity, bool* fitted, const char* format, ...) {
    if (fitted) *fitted = false;
    if (capacity == 0) return std::string();
    std::vector<char> buffer(capacity, '\0');
    va_list arguments;
    va_start(arguments, format);
    int needed = std::vsnprintf(buffer.data(), capacity, format, arguments);
    va_end(arguments);
    // Some runtimes leave the buffer unterminated when the text is cut.
    buffer[capacity - 1] = '\0';
    if (needed < 0) return std::string();
    if (fitted) *fitted = static_cast<size_t>(needed) < capacity;
    return std::string(buffer.data());
}

std::string CutToCapacity(const std::string& text, size_t capacity) {
    if (capacity == 0) return std::string();
    std::string cut = text.substr(0, capacity - 1);
    size_t end = cut.find('\0');
    if (end != std::string::npos) cut.resize(end);
    return cut;
}

}  // namespace qm
