// "add" and "comment": the two commands that change single entries.
#include "cli/Commands.h"
#include "core/AddReleaseFile.h"
#include "core/EntryComment.h"
#include "core/IniFile.h"
#include "core/ReleaseListFormat.h"
#include "platform/Platform.h"

namespace qm::cli {

namespace {

// A name that the release list can keep on one line and that names a file
// directly in the component directory.
bool CheckFileName(const std::string& name, std::string& error) {
    if (name.empty()) {
        error = "the file name is empty";
        return false;
    }
    if (name.size() >= kTypedNameCapacity) {
        error = "the file name is too long (at most " + std::to_string(kTypedNameCapacity - 1) +
                " characters)";
        return false;
    }
    for (char c : name) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            error = "the file name '" + Printable(name) + "' holds control characters";
            return false;
        }
    }
    if (!IsBareFileName(name)) {
        error = "'" + name +
                "' is not a bare file name: give the name of a file in the directory itself, "
                "without \\, / or :, none of < > \" | ? *, no dot or blank at its end (so not . "
                "or ..), and no device name such as CON or NUL";
        return false;
    }
    return true;
}

// An entry number as the walks read them: 1 to 9998, plain decimal.
bool ParseEntryNumber(const std::string& text, int& n) {
    if (text.empty() || text.size() > 4 || text[0] == '0') return false;
    n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && n <= kLastReadableEntry;
}

// Why add refused the list: the lines it cannot read, or no section.
std::string NotUnderstoodMessage(const std::string& listPath) {
    CIniFile list;
    list.Load(listPath);
    std::string message = "the release list " + Printable(ShownPath(listPath));
    const size_t lines = list.UnplacedLineCount();
    if (lines > 0) {
        message += " holds " + std::to_string(lines) + (lines == 1 ? " line" : " lines") +
                   " that qmverify cannot read as a section, an entry or a comment (the first is "
                   "line " +
                   std::to_string(list.FirstUnplacedLine()) + ")";
    } else {
        message += " holds no section";
    }
    return message +
           ": nothing written, so that no entry goes where the list's own cannot be "
           "read; correct the list, or build it anew";
}

std::string UnknownSection(const std::string& text) {
    return "unknown directory '" + Printable(text) + "' (use qmw or db1)";
}

}  // namespace

int RunAdd(const CommandLine& line) {
    const std::string& name = line.operands[0];
    const int index = SectionIndex(line.operands[1]);
    std::string error;
    if (!CheckFileName(name, error)) return Fail(error);
    if (index < 0) return Fail(UnknownSection(line.operands[1]));
    if (UsableWindowsDirectory(error).empty()) return Fail(error);

    const char* section = SectionName(index);
    const std::string path = AddedFilePath(section, name);
    if (path.empty()) {
        return Fail("the file name is too long for its path " +
                    Shown("\\" + std::string(section) + "\\" + name) + " (at most " +
                    std::to_string(kAddedPathCapacity - 1) + " characters)");
    }
    // Adding sets the entry's baseline: the same password as a build guards it.
    CUpdateKey key;
    if (!AcceptPassword(line, key)) return kExitError;
    if (!Platform().FileExists(path)) {
        Tell("note: " + Shown(path) + " does not exist; its entry gets the CRC 0");
    }

    AddOutcome outcome;
    const std::string listPath = ReleaseListPath(Platform().WindowsDirectory());
    const auto signedReport = [&outcome] {
        return SignedReport(outcome.madeKey, outcome.publicKey, outcome.sequence);
    };
    switch (AddReleaseFile(name, index, &key, outcome)) {
        case AddResult::Added:
            return Report("Added " + name + " to " + section + " as entry " +
                              std::to_string(outcome.entry) + ".\n" + signedReport(),
                          "the file was added");
        case AddResult::Refreshed:
            return Report("Refreshed entry " + std::to_string(outcome.entry) + " of " + section +
                              " (" + name + "); its update mark is 0 again.\n" + signedReport(),
                          "the entry was refreshed");
        case AddResult::NoFreeNumber:
            return Fail("section " + std::string(section) + " has no free entry number up to " +
                        std::to_string(kLastReadableEntry) + ": nothing written");
        case AddResult::WriteFailed:
            return Fail(WriteFailure("the release list", outcome.error));
        case AddResult::ReadFailed:
            return Fail(ReadFailure("the release list", listPath, outcome.error) +
                        ": nothing written");
        case AddResult::SigningFailed:
            return Fail(SigningFailure(outcome.signing, outcome.error, outcome.list));
        case AddResult::ListNotUnderstood:
            return Fail(NotUnderstoodMessage(listPath));
        case AddResult::NotBareName:
            return Fail("'" + Printable(name) + "' is not a bare file name: nothing written");
        case AddResult::Unstorable:
        case AddResult::Ignored:
            break;
    }
    // The checks above leave only names that a read would change.
    return Fail("the release list cannot keep the name '" + Printable(name) +
                "' as it is: nothing written");
}

int RunComment(const CommandLine& line) {
    const int index = SectionIndex(line.operands[0]);
    if (index < 0) return Fail(UnknownSection(line.operands[0]));
    int n = 0;
    if (!ParseEntryNumber(line.operands[1], n)) {
        return Fail("'" + Printable(line.operands[1]) + "' is no entry number (1 to " +
                    std::to_string(kLastReadableEntry) + ")");
    }
    std::string error;
    const std::string windowsDirectory = UsableWindowsDirectory(error);
    if (windowsDirectory.empty()) return Fail(error);

    // The row the window would show for entry n: its path and its mark.
    const char* section = SectionName(index);
    const std::string listPath = ReleaseListPath(windowsDirectory);
    CIniFile list;
    if (!list.Load(listPath))
        return Fail(ReadFailure("the release list", listPath, list.LoadError()));
    const std::string name = list.ReadText(section, EntryKey("File", n), kWholeValueCapacity);
    if (name.empty()) {
        return Fail("section " + std::string(section) + " has no entry " + std::to_string(n));
    }
    const std::string shownPath =
        ShownListedPath(ListedFilePath(kComponentDirectories[index].directory, name, nullptr));
    const bool updated =
        line.updated ? *line.updated : list.ReadInt(section, EntryKey("Updated", n), 0) == 1;

    const std::string& comment = line.operands[2];
    if (OneLineComment(comment) != comment) {
        Tell("note: the comment is kept on one line of at most " + std::to_string(kCommentLength) +
             " characters");
    }
    uint32_t writeError = 0;
    switch (WriteEntryComment(section, n, name, comment, updated, &writeError)) {
        case CommentResult::Written:
            return Report("Entry " + std::to_string(n) + " of " + section + " (" +
                              Printable(shownPath) + "): comment stored, " +
                              (updated ? "marked as updated" : "not marked as updated") + ".\n",
                          "the comment was stored");
        case CommentResult::EntryChanged:
            return Fail("entry " + std::to_string(n) + " of " + section + " no longer names " +
                        Printable(shownPath) + ": nothing written");
        case CommentResult::ReadFailed:
            return Fail(ReadFailure("the release list", listPath, writeError) +
                        ": nothing written");
        case CommentResult::WriteFailed:
            break;
    }
    return Fail(WriteFailure("the release list", writeError));
}

}  // namespace qm::cli
