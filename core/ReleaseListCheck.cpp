#include "core/ReleaseListCheck.h"

#include "core/ListedEntries.h"
#include "core/ReleaseListFormat.h"
#include "platform/AsciiCase.h"

namespace qm {

namespace {

// Whether a key names an entry's file: "File" and decimal digits.
bool IsFileKey(const std::string& key) {
    if (key.size() <= 4 || !StartsWithNoCase(key, "file")) return false;
    for (size_t i = 4; i < key.size(); ++i) {
        if (key[i] < '0' || key[i] > '9') return false;
    }
    return true;
}

SectionFindings CheckSection(const CIniFile& releaseList, const char* section) {
    SectionFindings findings;
    findings.section = section;
    findings.entries = ForEachListedEntry(releaseList, section, nullptr);
    for (const std::string& key : releaseList.KeyNames(section)) {
        if (!IsFileKey(key) || releaseList.ReadText(section, key, 2).empty()) continue;
        // The walk reads exactly the keys "File1" to "File<entries>".
        const std::string digits = key.substr(4);
        const bool walked =
            digits[0] != '0' && digits.size() <= 4 && std::stoi(digits) <= findings.entries;
        if (!walked) findings.unreachedKeys.push_back(key);
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
