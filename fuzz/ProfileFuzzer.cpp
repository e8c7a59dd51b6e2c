// The profile engine under arbitrary bytes. The whole input is the file;
// its last bytes also choose one write (section, key and value from fixed
// names, names of the file, or pieces of its bytes). Properties:
//  - the file re-serialises byte for byte;
//  - a write is refused exactly when a name could forge a line, and a
//    refused write changes nothing;
//  - after the write, a save (Text) and a reload, the value reads back as
//    given, line breaks and NULs as blanks, cut to any capacity;
//  - every other key of the file reads as before, as text and as number;
//  - only the written line changes (or the new lines appear), the key keeps
//    its spelling, and writing the same again changes nothing;
//  - one pass over a section gives every key that reads, with its value.
#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "core/IniFile.h"
#include "fuzz/FuzzSupport.h"
#include "platform/AsciiCase.h"
#include "platform/Utf8.h"

namespace {

using qm::CIniFile;
using qm::EqualNoCase;
using qm::fuzz::CChoices;
using namespace std::string_literals;

constexpr size_t kWhole = size_t(1) << 30;  // a capacity no value reaches
constexpr size_t kMostNames = 64;

// What the engine trims around names and values: blanks and tabs, CR (of a
// CRLF line), VT, FF and Ctrl-Z.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view TrimEnd(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view WithoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool EndsWithLineEnd(std::string_view line) {
    return !line.empty() && (line.back() == '\n' || line.back() == '\r');
}

// The lines of a text, each with its line end: LF, CR LF, or a CR alone.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t end = text.find_first_of("\r\n");
        if (end != text.npos && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n') {
            ++end;
        }
        const size_t length = end == text.npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

struct Name {
    std::string section;
    std::string key;
};

bool SameName(const Name& a, const Name& b) {
    return EqualNoCase(Trim(a.section), Trim(b.section)) && EqualNoCase(Trim(a.key), Trim(b.key));
}

// Names the file's lines spell, to read before and after the write. Only
// candidates: whether the engine sees them is its own business.
std::vector<Name> NamesIn(std::string_view text, std::vector<std::string>& sections) {
    std::vector<Name> names;
    std::string section;
    for (std::string_view line : Lines(text)) {
        const std::string_view content = Trim(WithoutLineEnd(line));
        if (content.empty() || content[0] == ';') continue;
        const size_t close = content.rfind(']');
        if (content[0] == '[' && close != content.npos && close > 0) {
            section = std::string(content.substr(1, close - 1));
            if (sections.size() < kMostNames) sections.push_back(section);
            continue;
        }
        names.push_back(Name{section, std::string(content.substr(0, content.find('=')))});
        if (names.size() == kMostNames) break;
    }
    return names;
}

// A piece of the input, up to `most` bytes long.
std::string Slice(std::string_view text, CChoices& choices, size_t most) {
    if (text.empty()) return std::string();
    const size_t start = choices.Below(text.size());
    return std::string(text.substr(start, choices.Below(most + 1)));
}

const std::string kSections[] = {"qmw", "db1", "Settings", " QMW ",  "a]b",  "[x",
                                 ";c",  "",    " ",        "s\r\nx", "s\0x"s};
const std::string kKeys[] = {"File1", "Comment1", "Date9998", " crc1 ", "k",     "a=b", "[x",
                             ";c",    "",         "\t",       "k\nx=1", "k\0x"s, "x]",  "\"q\""};
const std::string kValues[] = {"",
                               "cbf43926",
                               "07.12.2026 11:45",
                               " padded ",
                               "\"quoted\"",
                               "'",
                               "\"",
                               "a\r\n[evil]\r\nx=1",
                               "tab\t",
                               "a\0b"s,
                               "\x1a",
                               "-12",
                               "2147483648",
                               std::string(600, 'v')};

// ASCII letters in the other case.
std::string OtherCase(std::string name) {
    for (char& c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) c = static_cast<char>(c ^ 0x20);
    }
    return name;
}

template <size_t N>
const std::string& Pick(const std::string (&names)[N], CChoices& choices) {
    return names[choices.Byte() % N];
}

struct Write {
    Name name;
    std::string value;
    size_t capacity = 0;
};

Write ChooseWrite(std::string_view text, CChoices& choices, const std::vector<Name>& names,
                  const std::vector<std::string>& sections) {
    Write write;
    switch (choices.Byte() % 4) {
        case 0:
            if (!names.empty()) {
                // A key of the file, spelled in other case.
                write.name = names[choices.Below(names.size())];
                write.name.key = OtherCase(write.name.key);
                break;
            }
            [[fallthrough]];
        case 1:
            write.name.section = sections.empty() ? Pick(kSections, choices)
                                                  : sections[choices.Below(sections.size())];
            write.name.key = Pick(kKeys, choices);
            break;
        case 2:
            write.name.section = Pick(kSections, choices);
            write.name.key = Pick(kKeys, choices);
            break;
        default:
            write.name.section = Slice(text, choices, 16);
            write.name.key = Slice(text, choices, 16);
    }
    write.value = choices.Byte() % 2 ? Pick(kValues, choices) : Slice(text, choices, 600);
    const size_t capacities[] = {1, 2, 8, 80, 128, 512, write.value.size(), write.value.size() + 1};
    write.capacity = capacities[choices.Byte() % 8];
    return write;
}

// Names that a write refuses: empty (once trimmed), holding a line break or
// a NUL, and keys with '=' or starting with '[' or ';'.
bool Refused(std::string_view name, bool isKey) {
    name = Trim(name);
    if (name.empty() || name.find_first_of("\r\n\0"s) != name.npos) return true;
    return isKey && (name.find('=') != name.npos || name[0] == '[' || name[0] == ';');
}

// The value as it reads back: line breaks and NULs as blanks.
std::string ReadBack(std::string value) {
    for (char& c : value) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    return value;
}

struct Reading {
    std::string text;
    int number;
    int other;  // with another default
};

Reading Read(const CIniFile& ini, const Name& name) {
    return Reading{ini.ReadText(name.section, name.key, kWhole),
                   ini.ReadInt(name.section, name.key, INT_MIN),
                   ini.ReadInt(name.section, name.key, 7)};
}

// A text read and the integer reads agree: an empty value reads as the
// default, and a plain decimal reads as its number.
void CheckReading(const Reading& reading) {
    if (reading.text.empty()) {
        FUZZ_CHECK(reading.number == INT_MIN && reading.other == 7);
        return;
    }
    FUZZ_CHECK(reading.number == reading.other);
    const std::string& text = reading.text;
    const size_t digits = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (text.size() > digits && text.size() - digits <= 9 &&
        text.find_first_not_of("0123456789", digits) == text.npos) {
        FUZZ_CHECK(reading.number == std::stoi(text));
    }
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Only the written line changed, or only the lines of a new key (and its
// section) appeared; an unterminated last line before them got its CRLF.
void CheckOnlyTheWrittenLinesChanged(std::string_view before, std::string_view after,
                                     const Name& name) {
    const std::vector<std::string_view> a = Lines(before);
    const std::vector<std::string_view> b = Lines(after);
    size_t prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix]) {
        ++suffix;
    }
    const size_t removed = a.size() - prefix - suffix;
    const size_t added = b.size() - prefix - suffix;
    FUZZ_CHECK(removed <= 1 && added <= 3 && added >= removed);
    size_t next = prefix;
    const size_t end = prefix + added;
    if (removed == 1) {
        const std::string_view old = a[prefix];
        if (!EndsWithLineEnd(old) && b[next] == std::string(old) + "\r\n") {
            ++next;
        } else {
            // The key's own line: it keeps the name as the file spells it.
            FUZZ_CHECK(added == 1);
            const size_t equals = old.find('=');
            const std::string keep = equals == old.npos
                                         ? std::string(TrimEnd(WithoutLineEnd(old))) + "="
                                         : std::string(old.substr(0, equals + 1));
            FUZZ_CHECK(StartsWith(b[prefix], keep));
            return;
        }
    }
    if (end - next == 2) {
        FUZZ_CHECK(b[next] == "[" + std::string(Trim(name.section)) + "]\r\n");
        ++next;
    }
    FUZZ_CHECK(end - next <= 1);
    if (next < end) {
        FUZZ_CHECK(StartsWith(b[next], std::string(Trim(name.key)) + "="));
        FUZZ_CHECK(b[next].size() >= 2 && b[next].substr(b[next].size() - 2) == "\r\n");
    }
}

// The one pass over a section (what the list's signature reads) visits
// exactly the keys that read, in their order, each with ReadText's value.
void CheckEveryValue(const CIniFile& file, const std::string& section) {
    const std::vector<std::string> keys = file.KeyNames(section);
    size_t visited = 0;
    file.ForEachValue(section, [&](std::string_view key, std::string_view value) {
        FUZZ_CHECK(visited < keys.size() && key == keys[visited]);
        FUZZ_CHECK(value == file.ReadText(section, key, kWhole));
        ++visited;
    });
    FUZZ_CHECK(visited == keys.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = qm::fuzz::AsText(data, size);
    CChoices choices(data, size);

    CIniFile file;
    file.LoadText(text);
    FUZZ_CHECK(file.Text() == text);
    // Lines it cannot place are counted from the first.
    const size_t lineCount = Lines(text).size();
    FUZZ_CHECK(file.UnplacedLineCount() <= lineCount && file.FirstUnplacedLine() <= lineCount);
    FUZZ_CHECK((file.UnplacedLineCount() == 0) == (file.FirstUnplacedLine() == 0));

    std::vector<std::string> sections;
    const std::vector<Name> names = NamesIn(text, sections);
    for (const std::string& section : sections) CheckEveryValue(file, section);
    std::vector<Reading> readings;
    for (const Name& name : names) {
        readings.push_back(Read(file, name));
        CheckReading(readings.back());
    }

    const Write write = ChooseWrite(text, choices, names, sections);
    const bool refused = Refused(write.name.section, false) || Refused(write.name.key, true);
    FUZZ_CHECK(file.WriteText(write.name.section, write.name.key, write.value) == !refused);
    if (refused) {
        FUZZ_CHECK(file.Text() == text);
        return 0;
    }
    const std::string saved = file.Text();
    CIniFile reloaded;
    reloaded.LoadText(saved);
    FUZZ_CHECK(reloaded.Text() == saved);

    const std::string expected = ReadBack(write.value);
    FUZZ_CHECK(file.ReadText(write.name.section, write.name.key, kWhole) == expected);
    FUZZ_CHECK(reloaded.ReadText(write.name.section, write.name.key, kWhole) == expected);
    // A capacity counts characters: the cut never splits one.
    const std::string cut = reloaded.ReadText(write.name.section, write.name.key, write.capacity);
    FUZZ_CHECK(expected.compare(0, cut.size(), cut) == 0);
    FUZZ_CHECK(cut == std::string(qm::FirstCharacters(expected, write.capacity - 1)));
    CheckReading(Read(reloaded, write.name));

    for (size_t i = 0; i < names.size(); ++i) {
        if (SameName(names[i], write.name)) continue;
        const Reading after = Read(reloaded, names[i]);
        FUZZ_CHECK(after.text == readings[i].text && after.number == readings[i].number);
    }

    CheckOnlyTheWrittenLinesChanged(text, saved, write.name);
    FUZZ_CHECK(reloaded.WriteText(write.name.section, write.name.key, write.value));
    FUZZ_CHECK(reloaded.Text() == saved);
    return 0;
}
