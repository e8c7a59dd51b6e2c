// The small text functions under arbitrary bytes. The first byte is a
// capacity, the second the length of a first text, which follows; the rest
// is a second text. Properties:
//  - ReorderDate splits as strtok does, on the 39 bytes a 40-byte buffer
//    keeps (a C reference with strtok and snprintf);
//  - BoundedFormat and CutToCapacity never exceed capacity - 1 and cut only;
//  - ListedFilePath forms the whole path, whatever its length, and reports
//    it as naming the file only without a NUL inside; AddedFilePath forms
//    one only when it is whole and within its capacity;
//  - a bare file name names a file directly in its component directory;
//  - OneLineComment gives one line of at most 511 bytes, cut only, and
//    never inside a UTF-8 character;
//  - CSV, TSV and JSON fields decode back to the text they escape, CSV and
//    TSV with control characters shown as the table shows them.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "cli/Console.h"
#include "cli/ResultFormat.h"
#include "core/AddReleaseFile.h"
#include "core/BoundedFormat.h"
#include "core/EntryComment.h"
#include "core/InstalledRelease.h"
#include "core/ReleaseListFormat.h"
#include "fuzz/FuzzSupport.h"
#include "platform/Utf8.h"
#include "platform/posix/PathMapping.h"

namespace {

bool HasNul(const std::string& text) { return text.find('\0') != text.npos; }

// The text a C string of the same bytes holds.
std::string AsCString(const std::string& text) { return std::string(text.c_str()); }

std::string ReferenceReorderDate(const std::string& date) {
    char copy[40] = {};
    std::strncpy(copy, date.c_str(), sizeof copy - 1);
    char work[sizeof copy];
    std::memcpy(work, copy, sizeof copy);
    char* first = std::strtok(work, "-");
    char* second = first ? std::strtok(nullptr, "-") : nullptr;
    char* third = second ? std::strtok(nullptr, "-") : nullptr;
    if (!third) return copy;
    char reordered[sizeof copy];
    std::snprintf(reordered, sizeof reordered, "%s.%s.%s", second, first, third);
    return reordered;
}

void CheckDate(const std::string& date) {
    const std::string reordered = qm::ReorderDate(date);
    FUZZ_CHECK(reordered == ReferenceReorderDate(date));
    FUZZ_CHECK(reordered.size() <= 39);
}

void CheckBounded(size_t capacity, const std::string& a, const std::string& b) {
    bool fitted = true;
    const std::string formatted =
        qm::BoundedFormat(capacity, &fitted, "%s.\\%s", a.c_str(), b.c_str());
    const std::string whole = AsCString(a) + ".\\" + AsCString(b);
    if (capacity == 0) {
        FUZZ_CHECK(formatted.empty() && !fitted);
    } else {
        FUZZ_CHECK(formatted == whole.substr(0, capacity - 1));
        FUZZ_CHECK(fitted == (whole.size() < capacity));
    }
    const std::string cut = qm::CutToCapacity(b, capacity);
    FUZZ_CHECK(cut == (capacity == 0 ? std::string() : AsCString(b.substr(0, capacity - 1))));
}

void CheckPaths(const std::string& a, const std::string& b) {
    const bool whole = !HasNul(a) && !HasNul(b);
    bool fitted = true;
    const std::string listed = qm::ListedFilePath(a, b, &fitted);
    FUZZ_CHECK(listed == a + ".\\" + b);  // never cut: the opened path is the file meant
    FUZZ_CHECK(fitted == whole);
    FUZZ_CHECK(qm::ShownListedPath(listed).size() < qm::kListedPathCapacity);

    const std::string added = qm::AddedFilePath(a, b);
    if (whole && 1 + a.size() + 2 + b.size() < qm::kAddedPathCapacity) {
        FUZZ_CHECK(added == "\\" + a + ".\\" + b);
    } else {
        FUZZ_CHECK(added.empty());
    }

    // A bare name lies directly in the component directory.
    if (qm::IsBareFileName(b)) {
        FUZZ_CHECK(qm::posix::ParentOf(qm::posix::MapPath("\\qmw.\\" + b)) ==
                   qm::posix::MapPath("\\qmw"));
    }
}

void CheckEntryKey(const std::string& prefix, int n) {
    const std::string key = qm::EntryKey(prefix.c_str(), n);
    FUZZ_CHECK(key == (AsCString(prefix) + std::to_string(n)).substr(0, qm::kKeyCapacity - 1));
}

void CheckComment(const std::string& comment) {
    std::string line;  // CR LF as one blank, every other line break as a blank
    for (size_t i = 0; i < comment.size(); ++i) {
        if (comment[i] == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n') continue;
        const char c = comment[i];
        line += c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\0' ? ' ' : c;
    }
    const std::string stored = qm::OneLineComment(comment);
    FUZZ_CHECK(stored.size() <= 511);
    FUZZ_CHECK(stored.find_first_of(std::string("\r\n\v\f\0", 5)) == stored.npos);
    FUZZ_CHECK(line.compare(0, stored.size(), stored) == 0);
    if (line.size() <= 511) {
        FUZZ_CHECK(stored == line);
    } else if (qm::IsUtf8(line)) {
        FUZZ_CHECK(stored.size() >= 508 && qm::IsUtf8(stored));
    }
}

std::string CsvDecoded(const std::string& field) {
    if (field.size() < 2 || field.front() != '"' || field.back() != '"') return field;
    std::string text;
    for (size_t i = 1; i + 1 < field.size(); ++i) {
        if (field[i] == '"') {
            FUZZ_CHECK(field[i + 1] == '"' && i + 2 < field.size());  // quotes come in pairs
            ++i;
        }
        text += field[i];
    }
    return text;
}

// The UTF-16 code units a JSON string stands for.
std::u16string JsonDecoded(const std::string& json) {
    FUZZ_CHECK(json.size() >= 2 && json.front() == '"' && json.back() == '"');
    std::u16string units;
    for (size_t i = 1; i + 1 < json.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(json[i]);
        FUZZ_CHECK(c >= 0x20 && c < 0x7F);
        FUZZ_CHECK(c != '"');
        if (c != '\\') {
            units += static_cast<char16_t>(c);
            continue;
        }
        FUZZ_CHECK(i + 2 < json.size());
        switch (json[++i]) {
            case '"':
                units += u'"';
                break;
            case '\\':
                units += u'\\';
                break;
            case 'n':
                units += u'\n';
                break;
            case 'r':
                units += u'\r';
                break;
            case 't':
                units += u'\t';
                break;
            default: {
                FUZZ_CHECK(json[i] == 'u' && i + 5 < json.size());
                char16_t unit = 0;
                for (size_t k = 1; k <= 4; ++k) {
                    const char digit = json[i + k];
                    FUZZ_CHECK(std::isxdigit(static_cast<unsigned char>(digit)));
                    unit = static_cast<char16_t>(
                        unit * 16 + (digit <= '9' ? digit - '0' : (digit | 0x20) - 'a' + 10));
                }
                units += unit;
                i += 4;
            }
        }
    }
    return units;
}

std::string Utf8Of(const std::u16string& units) {
    std::string text;
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t code = units[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units.size()) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        qm::AppendUtf8(text, code);
    }
    return text;
}

// What a field shows of `text`, character by character (a byte that starts
// no UTF-8 character counts as one): every control character, C0, DEL and
// C1, becomes '?'; tab stays where `keepTab` says so.
std::string Shown(const std::string& text, bool keepTab) {
    std::string shown;
    for (size_t at = 0; at < text.size();) {
        uint32_t code = static_cast<unsigned char>(text[at]);
        size_t length = code < 0x80 ? 1 : qm::DecodeUtf8OrSurrogate(text, at, code);
        if (length == 0) length = 1;  // code stays the byte
        const bool tab = code == '\t' && keepTab;
        const bool control = !tab && (code < 0x20 || (code >= 0x7F && code <= 0x9F));
        shown += control ? std::string("?") : text.substr(at, length);
        at += length;
    }
    return shown;
}

void CheckFields(const std::string& text) {
    // CSV keeps tab and shows every other control character as '?'.
    const std::string shown = Shown(text, true);
    const std::string csv = qm::cli::CsvField(text);
    if (shown.find_first_of(",\"") == shown.npos) {
        FUZZ_CHECK(csv == shown);
    } else {
        FUZZ_CHECK(csv.size() >= 2 && csv.front() == '"' && csv.back() == '"');
        FUZZ_CHECK(CsvDecoded(csv) == shown);
    }

    // TSV: tab, CR and LF a blank each, then as CSV shows it.
    std::string blanked = text;
    for (char& c : blanked) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    FUZZ_CHECK(qm::cli::TsvField(text) == Shown(blanked, false));

    const std::u16string units = JsonDecoded(qm::cli::JsonString(text));
    FUZZ_CHECK(units == qm::cli::TextToUtf16(text));
    if (qm::IsUtf8(text)) FUZZ_CHECK(Utf8Of(units) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input = qm::fuzz::AsText(data, size);
    const size_t capacity = size > 0 ? data[0] : 0;
    const size_t length = size > 1 ? data[1] : 0;
    const std::string a(input.substr(std::min<size_t>(size, 2), length));
    const std::string b(input.substr(std::min(size, 2 + a.size())));

    CheckDate(a);
    CheckDate(b);
    CheckBounded(capacity, a, b);
    CheckPaths(a, b);
    int n = 0;
    std::memcpy(&n, b.data(), std::min(sizeof n, b.size()));
    CheckEntryKey(a, n);
    CheckComment(b);
    CheckFields(a);
    CheckFields(b);
    return 0;
}
