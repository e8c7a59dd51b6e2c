#include "core/ReleaseListCheck.h"

#include <string>
#include <string_view>

#include "core/ListedEntries.h"
#include "core/ReleaseListFormat.h"
#include "platform/AsciiCase.h"

namespace qm {

namespace {

// The decimal digits after `prefix` when `key` is the prefix (any case) and
// digits alone; "" otherwise.
std::string_view EntryDigits(std::string_view key, std::string_view prefix) {
    if (key.size() <= prefix.size() || !StartsWithNoCase(key, prefix)) return {};
    for (size_t i = prefix.size(); i < key.size(); ++i) {
        if (key[i] < '0' || key[i] > '9') return {};
    }
    return key.substr(prefix.size());
}

// The entry number that these digits spell as the walk spells it (no leading
// zero, at most four digits); 0 for any other spelling.
int WalkNumber(std::string_view digits) {
    if (digits[0] == '0' || digits.size() > 4) return 0;
    int n = 0;
    for (char digit : digits) n = n * 10 + (digit - '0');
    return n;
}

// Whether the walk of `entries` reads the entry of these digits.
bool Walked(std::string_view digits, int entries) {
    const int n = WalkNumber(digits);
    return n > 0 && n <= entries;
}

// Whether the entry of these digits has a name: a "File" key of that spelling.
bool Named(const CIniFile& releaseList, const CEntryValues& names, const char* section,
           std::string_view digits) {
    const int n = WalkNumber(digits);
    if (n > 0 && n <= kLastReadableEntry) return !names.Value(n, 0).empty();
    return !releaseList.ReadText(section, "File" + std::string(digits), 2).empty();
}

// One pass over the section's keys (beside the walk's own): no lookup per
// entry, so that a full list is checked in a few milliseconds.
SectionFindings CheckSection(const CIniFile& releaseList, const char* section) {
    SectionFindings findings;
    findings.section = section;
    const CEntryValues names(releaseList, section, {"File"});
    findings.entries = names.Walked();
    releaseList.ForEachValue(section, [&](std::string_view key, std::string_view value) {
        const std::string_view digits = EntryDigits(key, "File");
        if (!digits.empty()) {
            if (!value.empty() && !Walked(digits, findings.entries)) {
                findings.unreachedKeys.emplace_back(key);
            }
            return;
        }
        std::string_view owner = EntryDigits(key, kSha256KeyPrefix);
        if (owner.empty()) owner = EntryDigits(key, kSizeKeyPrefix);
        if (!owner.empty() && !Walked(owner, findings.entries) &&
            !Named(releaseList, names, section, owner)) {
            findings.strayKeys.emplace_back(key);
        }
    });
    return findings;
}

}  // namespace

ListFindings CheckReleaseList(const CIniFile& releaseList) {
    ListFindings findings;
    for (int index = 0; index < 2; ++index) {
        findings.sections[index] = CheckSection(releaseList, kComponentDirectories[index].section);
    }
    findings.unplacedLines = releaseList.UnplacedLineCount();
    findings.firstUnplacedLine = releaseList.FirstUnplacedLine();
    return findings;
}

std::string NamesInBrief(const std::vector<std::string>& names, size_t shown) {
    std::string text;
    const size_t count = names.size() < shown ? names.size() : shown;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    if (names.size() > count) text += " and " + std::to_string(names.size() - count) + " more";
    return text;
}

}  // namespace qm
