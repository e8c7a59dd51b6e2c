// The exported-registry reader under arbitrary bytes, asked for the two
// product keys and for the keys and value names the file spells.
// Properties:
//  - every answer has one value per name; a Dword has 4 bytes, a missing
//    value none;
//  - key paths and value names match without regard to ASCII case;
//  - an ASCII file reads the same as 8-bit text, as UTF-8 with byte-order
//    mark, as UTF-16LE with byte-order mark, and with CRLF line ends;
//  - a value set by an earlier section of the same key loses to the file's
//    own, and shows where the file has none.
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "platform/AsciiCase.h"
#include "platform/RegistryFile.h"

namespace {

using qm::RegistryValue;

constexpr size_t kMostNames = 16;

struct Answer {
    bool found = false;
    std::vector<RegistryValue> values;
};

bool operator==(const Answer& a, const Answer& b) {
    if (a.found != b.found || a.values.size() != b.values.size()) return false;
    for (size_t i = 0; i < a.values.size(); ++i) {
        if (a.values[i].type != b.values[i].type || a.values[i].data != b.values[i].data) {
            return false;
        }
    }
    return true;
}

Answer Ask(const std::string& bytes, const std::string& key,
           const std::vector<std::string>& names) {
    Answer answer;
    answer.found = qm::ReadRegistryFileKey(bytes, key, names, answer.values);
    if (answer.found) {
        FUZZ_CHECK(answer.values.size() == names.size());
        for (const RegistryValue& value : answer.values) {
            if (value.type == RegistryValue::Type::Dword) FUZZ_CHECK(value.data.size() == 4);
            if (value.type == RegistryValue::Type::Missing) FUZZ_CHECK(value.data.empty());
        }
    }
    return answer;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return qm::StartsWithNoCase(text, prefix);
}

// Key paths below HKEY_LOCAL_MACHINE that section lines name, and the
// quoted names at the start of lines (escapes left as they are: only
// candidates), read from the bytes as 8-bit text.
void NamesIn(std::string_view text, std::vector<std::string>& keys,
             std::vector<std::string>& names) {
    while (!text.empty() && keys.size() < kMostNames && names.size() < kMostNames) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == text.npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > 2 && line[0] == '[' && line.back() == ']') {
            std::string_view path = line.substr(1, line.size() - 2);
            for (std::string_view root : {"HKEY_LOCAL_MACHINE\\", "HKLM\\"}) {
                if (StartsWithNoCase(path, root)) keys.emplace_back(path.substr(root.size()));
            }
        } else if (line.size() > 1 && line[0] == '"') {
            names.emplace_back(line.substr(1, line.find('"', 1) - 1));
        }
    }
}

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

std::string Utf16(std::string_view ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::string WithCrlf(std::string_view text) {
    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return crlf;
}

// A quoted value name as an export writes it.
std::string Quoted(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// Whether a key path and a value name can be written on lines of their own
// and read back as they are.
bool Writable(std::string_view key, std::string_view name) {
    const auto trimmed = [](char c) { return c == ' ' || c == '\t' || c == '\\'; };
    return !key.empty() && key.find_first_of("\r\n") == key.npos && !trimmed(key.front()) &&
           !trimmed(key.back()) && name.find_first_of("\r\n") == name.npos;
}

// An earlier section of the key sets the first name to 42; the file's own
// lines come later and win. A key below SOFTWARE that the file holds only
// in the 32-bit view is left out: the earlier section would hide that view.
void CheckEarlierSectionsLose(const std::string& bytes, const std::string& key,
                              const std::vector<std::string>& names, const Answer& answer) {
    if (!Writable(key, names[0])) return;
    if (answer.found && StartsWithNoCase(key, "SOFTWARE\\") &&
        Ask(bytes, "SOFTWARE\\WOW6432Node\\" + key.substr(9), names) == answer) {
        return;
    }
    const std::string earlier = "[HKEY_LOCAL_MACHINE\\" + key + "]\n" + Quoted(names[0]) +
                                "=dword:0000002a\n[HKEY_CURRENT_USER\\Earlier]\n" + bytes;
    const Answer combined = Ask(earlier, key, names);
    FUZZ_CHECK(combined.found);
    const std::string fortyTwo("\x2a\0\0\0", 4);
    for (size_t i = 0; i < names.size(); ++i) {
        const RegistryValue& value = combined.values[i];
        const RegistryValue own = answer.found ? answer.values[i] : RegistryValue();
        if (!qm::EqualNoCase(names[i], names[0])) {
            FUZZ_CHECK(value.type == own.type && value.data == own.data);
        } else if (own.type != RegistryValue::Type::Missing) {
            FUZZ_CHECK(value.type == own.type && value.data == own.data);
        } else if (!answer.found) {
            FUZZ_CHECK(value.type == RegistryValue::Type::Dword && value.data == fortyTwo);
        } else {
            // The file's own lines may delete the value ("-").
            FUZZ_CHECK(value.type == RegistryValue::Type::Missing || value.data == fortyTwo);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(qm::fuzz::AsText(data, size));
    std::vector<std::string> keys = {"SOFTWARE\\Quillmark\\Quillmark Works",
                                     "SOFTWARE\\Quillmark\\Quillmark Sentinel"};
    std::vector<std::string> names = {"Installation Date", "Installation Time", "Version_Major",
                                      "Version_Minor", ""};
    NamesIn(bytes, keys, names);

    std::vector<std::string> upperNames;
    for (const std::string& name : names) upperNames.push_back(Upper(name));
    const bool ascii = IsAscii(bytes);

    for (const std::string& key : keys) {
        const Answer answer = Ask(bytes, key, names);
        FUZZ_CHECK(Ask(bytes, Upper(key), upperNames) == answer);
        if (!ascii) continue;
        FUZZ_CHECK(Ask("\xEF\xBB\xBF" + bytes, key, names) == answer);
        FUZZ_CHECK(Ask(Utf16(bytes), key, names) == answer);
        FUZZ_CHECK(Ask(WithCrlf(bytes), key, names) == answer);

        CheckEarlierSectionsLose(bytes, key, names, answer);
    }
    return 0;
}
