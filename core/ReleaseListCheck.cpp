#include "core/ReleaseListCheck.h"

#include <string>

#include "core/ReleaseListFormat.h"
#include "platform/AsciiCase.h"

namespace qm {

namespace {

// The decimal digits after `prefix` when `key` is the prefix (any case) and
// digits alone; "" otherwise.
std::string EntryDigits(const std::string& key, const char* prefix) {
    const size_t length = std::char_traits<char>::length(prefix);
    if (key.size() <= length || !StartsWithNoCase(key, prefix)) return std::string();
    for (size_t i = length; i < key.size(); ++i) {
        if (key[i] < '0' || key[i] > '9') return std::string();
    }
    return key.substr(length);
}

// Whether the walk of `entries` reads the entry of these digits: exactly
// "1" to the count, without leading zeros.
bool Walked(const std::string& digits, int entries) {
    return digits[0] != '0' && digits.size() <= 4 && std::stoi(digits) <= entries;
}

SectionFindings CheckSection(const CIniFile& releaseList, const char* section) {
    SectionFindings findings;
    findings.section = section;
    while (findings.entries < kLastReadableEntry &&
           !releaseList.ReadText(section, EntryKey("File", findings.entries + 1), 2).empty()) {
        ++findings.entries;
    }
    for (const std::string& key : releaseList.KeyNames(section)) {
        const std::string digits = EntryDigits(key, "File");
        if (!digits.empty()) {
            if (!releaseList.ReadText(section, key, 2).empty() &&
                !Walked(digits, findings.entries)) {
                findings.unreachedKeys.push_back(key);
            }
            continue;
        }
        std::string owner = EntryDigits(key, kSha256KeyPrefix);
        if (owner.empty()) owner = EntryDigits(key, kSizeKeyPrefix);
        if (!owner.empty() && !Walked(owner, findings.entries) &&
            releaseList.ReadText(section, "File" + owner, 2).empty()) {
            findings.strayKeys.push_back(key);
        }
    }
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
