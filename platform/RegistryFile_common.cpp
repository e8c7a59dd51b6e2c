#include "platform/RegistryFile.h"

#include <cstring>
#include <unordered_map>

#include "platform/AsciiCase.h"
#include "platform/Utf8.h"

namespace qm {

namespace {

// Decodes the bytes of an exported registry file into 8-bit text: UTF-16LE
// with byte-order mark becomes UTF-8; a UTF-8 byte-order mark is dropped;
// anything else is taken as it is.
std::string DecodeRegistryText(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::string text;
        text.reserve(bytes.size() / 2);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            uint32_t unit = static_cast<unsigned char>(bytes[i]) |
                            (static_cast<unsigned char>(bytes[i + 1]) << 8);
            uint32_t code = unit;
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
                uint32_t low = static_cast<unsigned char>(bytes[i + 2]) |
                               (static_cast<unsigned char>(bytes[i + 3]) << 8);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    code = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }
            AppendUtf8(text, code);
        }
        return text;
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    return bytes;
}

std::string Trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r'))
        --end;
    return text.substr(begin, end - begin);
}

// The logical lines of the file: continuation lines (ending in "\") of
// values joined, carriage returns dropped.
std::vector<std::string> LogicalLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string pending;
    bool continuing = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (continuing) {
            pending += line;
        } else {
            pending = line;
        }
        // Only hexadecimal data continues on the next line; a quoted text
        // that ends in a backslash is complete.
        continuing = !pending.empty() && pending.back() == '\\' && pending[0] != '[' &&
                     pending.find("=hex") != std::string::npos;
        if (continuing) {
            pending.pop_back();
            continue;
        }
        lines.push_back(pending);
    }
    if (continuing) lines.push_back(pending);
    return lines;
}

// Reads a quoted text starting at text[pos] == '"' with \\ and \" escapes;
// pos ends after the closing quote.
bool ReadQuoted(const std::string& text, size_t& pos, std::string& value) {
    if (pos >= text.size() || text[pos] != '"') return false;
    value.clear();
    for (++pos; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '\\' && pos + 1 < text.size()) {
            value += text[++pos];
        } else if (c == '"') {
            ++pos;
            return true;
        } else {
            value += c;
        }
    }
    return false;
}

bool HexDigit(char c, unsigned& value) {
    if (c >= '0' && c <= '9')
        value = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f')
        value = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
        value = static_cast<unsigned>(c - 'A' + 10);
    else
        return false;
    return true;
}

// "text" with its escapes: a Text value, or Other when anything follows
// the closing quote or there is none.
RegistryValue ParseQuotedData(const std::string& data) {
    RegistryValue value;
    size_t pos = 0;
    std::string text;
    if (ReadQuoted(data, pos, text) && Trim(data.substr(pos)).empty()) {
        value.type = RegistryValue::Type::Text;
        value.data = text;
    } else {
        value.type = RegistryValue::Type::Other;
    }
    return value;
}

// The hexadecimal digits after "dword:".
RegistryValue ParseDwordData(const std::string& digitsText) {
    RegistryValue value;
    // regedit writes all 8 digits; fewer are a value cut short, which
    // holds no number (dword:12 is not 0x12).
    const std::string digits = Trim(digitsText);
    uint32_t number = 0;
    bool ok = digits.size() <= 8;
    for (char c : digits) {
        unsigned digit;
        if (!HexDigit(c, digit)) {
            ok = false;
            break;
        }
        number = (number << 4) | digit;
    }
    if (ok && digits.size() == 8) {
        value.type = RegistryValue::Type::Dword;
        for (int i = 0; i < 4; ++i) value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
    } else {
        value.type = ok ? RegistryValue::Type::CutDword : RegistryValue::Type::Other;
    }
    return value;
}

// The bytes of "hex:" or "hex(n):" data ("4d,5a, ..."), as far as they can
// be read.
std::string HexBytes(const std::string& rest) {
    unsigned high = 0;
    unsigned low = 0;
    std::string bytes;
    size_t pos = 0;
    while (pos < rest.size()) {
        while (pos < rest.size() && (rest[pos] == ',' || rest[pos] == ' ' || rest[pos] == '\t'))
            ++pos;
        if (pos + 1 < rest.size() && HexDigit(rest[pos], high) && HexDigit(rest[pos + 1], low)) {
            bytes += static_cast<char>((high << 4) | low);
            pos += 2;
        } else {
            break;
        }
    }
    return bytes;
}

// Parses the data of one value line (what follows "=").
RegistryValue ParseValueData(const std::string& data) {
    if (data == "-") return RegistryValue();  // a deletion: the value is missing
    if (!data.empty() && data[0] == '"') return ParseQuotedData(data);
    if (StartsWithNoCase(data, "dword:")) return ParseDwordData(data.substr(6));
    // hex:, hex(n): and anything else: another type; keep the bytes that
    // can be read.
    RegistryValue value;
    value.type = RegistryValue::Type::Other;
    const size_t colon = data.find(':');
    if (StartsWithNoCase(data, "hex") && colon != std::string::npos) {
        value.data = HexBytes(data.substr(colon + 1));
        // hex(4): is a DWORD given byte by byte: four bytes are its number,
        // fewer a value cut short.
        if (StartsWithNoCase(data, "hex(4):")) {
            value.type = value.data.size() == 4  ? RegistryValue::Type::Dword
                         : value.data.size() < 4 ? RegistryValue::Type::CutDword
                                                 : RegistryValue::Type::Other;
        }
    }
    return value;
}

// The key path of a section header under HKEY_LOCAL_MACHINE, or false for
// other roots and for deletions.
bool MachineKeyOfSection(const std::string& line, std::string& keyPath) {
    if (line.size() < 2 || line[0] != '[' || line.back() != ']') return false;
    std::string name = Trim(line.substr(1, line.size() - 2));
    if (!name.empty() && name[0] == '-') return false;
    static const char* const kRoots[] = {"HKEY_LOCAL_MACHINE\\", "HKLM\\"};
    for (const char* root : kRoots) {
        if (StartsWithNoCase(name, root)) {
            keyPath = name.substr(std::strlen(root));
            return true;
        }
    }
    return false;
}

std::string NormaliseKeyPath(std::string path) {
    while (!path.empty() && path.front() == '\\') path.erase(0, 1);
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// The values of one key, later lines winning over earlier ones, kept by
// their lower-cased names; false when no section names the key.
bool ReadKeyValues(const std::vector<std::string>& lines, const std::string& keyPath,
                   std::unordered_map<std::string, RegistryValue>& found) {
    bool keyFound = false;
    bool inKey = false;
    const std::string wanted = NormaliseKeyPath(keyPath);
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            std::string sectionKey;
            inKey = MachineKeyOfSection(line, sectionKey) &&
                    EqualNoCase(NormaliseKeyPath(sectionKey), wanted);
            keyFound = keyFound || inKey;
            continue;
        }
        if (!inKey) continue;
        std::string name;
        size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (!ReadQuoted(line, pos, name)) {
            continue;
        }
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        if (pos >= line.size() || line[pos] != '=') continue;
        found[AsciiLowerCopy(name)] = ParseValueData(Trim(line.substr(pos + 1)));
    }
    return keyFound;
}

}  // namespace

bool ReadRegistryFileKey(const std::string& fileBytes, const std::string& keyPath,
                         const std::vector<std::string>& names,
                         std::vector<RegistryValue>& values) {
    values.clear();
    const std::vector<std::string> lines = LogicalLines(DecodeRegistryText(fileBytes));

    // The program's own view first, then the 32-bit view that a 64-bit
    // system keeps below WOW6432Node.
    std::unordered_map<std::string, RegistryValue> found;
    const std::string path = NormaliseKeyPath(keyPath);
    bool keyFound = ReadKeyValues(lines, path, found);
    if (!keyFound && StartsWithNoCase(path, "SOFTWARE\\")) {
        keyFound = ReadKeyValues(lines, "SOFTWARE\\WOW6432Node\\" + path.substr(9), found);
    }
    if (!keyFound) return false;
    for (const std::string& name : names) {
        auto value = found.find(AsciiLowerCopy(name));
        values.push_back(value == found.end() ? RegistryValue() : value->second);
    }
    return true;
}

}  // namespace qm
