#include "cli/ResultFormat.h"

#include <algorithm>
#include <cstdio>

#include "cli/Console.h"
#include "core/WatchedFile.h"

namespace qm::cli {

namespace {

// Headers of the nine columns; the window shows the first seven.
constexpr const char* kHeaders[kColumnCount] = {
    "Filename",     "Status",  "CRC Current", "Date Current", "CRC Release",
    "Date Release", "Comment", "Entry",       "Section",
};
constexpr int kVisibleColumns = kColEntry;

// JSON member names, in column order.
constexpr const char* kJsonNames[kColumnCount] = {
    "filename",    "status",  "crcCurrent", "dateCurrent", "crcRelease",
    "dateRelease", "comment", "entry",      "section",
};

// Control characters drive a terminal (ESC starts a sequence, CR goes back
// over what was shown): a field shows each as '?', as the table does. Tab is
// the one a field keeps, where the format has its own rule for it.
std::string WithoutControls(const std::string& text) {
    return WithoutControlCharacters(text, true);
}

std::string FormatTable(const CResultTable& table) {
    size_t widths[kVisibleColumns];
    for (int c = 0; c < kVisibleColumns; ++c)
        widths[c] = std::char_traits<char>::length(kHeaders[c]);
    for (int row = 0; row < table.RowCount(); ++row) {
        for (int c = 0; c < kVisibleColumns; ++c)
            widths[c] = std::max(widths[c], table.CellText(row, c).size());
    }
    std::string out;
    const auto appendLine = [&out, &widths](const auto& cellOf) {
        std::string line;
        for (int c = 0; c < kVisibleColumns; ++c) {
            const std::string cell = Printable(cellOf(c));
            line += cell;
            if (c + 1 < kVisibleColumns) line.append(widths[c] - cell.size() + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line;
        out += '\n';
    };
    appendLine([](int c) { return std::string(kHeaders[c]); });
    for (int row = 0; row < table.RowCount(); ++row) {
        appendLine([&table, row](int c) { return table.CellText(row, c); });
    }
    return out;
}

std::string FormatSeparated(const CResultTable& table, bool csv) {
    const char separator = csv ? ',' : '\t';
    const char* lineEnd = csv ? "\r\n" : "\n";
    std::string out;
    for (int c = 0; c < kColumnCount; ++c) {
        if (c > 0) out += separator;
        out += kHeaders[c];
    }
    out += lineEnd;
    for (int row = 0; row < table.RowCount(); ++row) {
        for (int c = 0; c < kColumnCount; ++c) {
            if (c > 0) out += separator;
            const std::string text = table.CellText(row, c);
            out += csv ? CsvField(text) : TsvField(text);
        }
        out += lineEnd;
    }
    return out;
}

// What the rows' records say beyond the nine columns: the cause, whether
// the date moved, the digest that decided and the SHA-256 texts.
std::string JsonFacts(const ComparedFile& file) {
    const bool listed = file.status != NotListed;
    std::string out = ", \"cause\": " + JsonString(CauseText(file.cause));
    out += ", \"dateChanged\": ";
    // Nothing recorded, nothing to compare with: neither true nor false.
    out += !listed ? "null" : file.dateNow != file.dateRecorded ? "true" : "false";
    out += ", \"digest\": ";
    out += file.digest == RowDigest::Sha256  ? "\"sha256\""
           : file.digest == RowDigest::Crc32 ? "\"crc32\""
                                             : "null";
    out += ", \"sha256Current\": ";
    out += file.sha256Now.empty() ? "null" : JsonString(file.sha256Now);
    out += ", \"sha256Release\": ";
    out += file.sha256Recorded.empty() ? "null" : JsonString(file.sha256Recorded);
    // Who signed the file, for a row that is not identical: "signer" (the
    // certificate's name) and "signatureState"; null where nobody asked.
    const char* state = FileSignatureStateName(file.signatureState);
    out += ", \"signer\": ";
    out += file.signer.empty() ? "null" : JsonString(file.signer);
    out += ", \"signatureState\": ";
    out += state ? JsonString(state) : "null";
    return out;
}

std::string FormatJson(const CResultTable& table, const RunFacts& facts) {
    if (table.Rows().empty()) return "[]\n";
    std::string out = "[\n";
    for (int row = 0; row < table.RowCount(); ++row) {
        const ComparedFile& file = table.Rows()[row].file;
        out += row == 0 ? "  {" : ",\n  {";
        for (int c = 0; c < kColumnCount; ++c) {
            if (c > 0) out += ", ";
            out += '"';
            out += kJsonNames[c];
            out += "\": ";
            if (c == kColEntry) {
                // A number; null where no entry names the file.
                out += file.entry > 0 ? std::to_string(file.entry) : "null";
            } else {
                out += JsonString(table.CellText(row, c));
            }
        }
        out += JsonFacts(file);
        // What the row's verdict rests on: the list's signature.
        out += ", \"listSignature\": ";
        out += JsonString(SignatureStateName(facts.signature.state));
        out += '}';
    }
    out += "\n]\n";
    return out;
}

}  // namespace

std::string CsvField(const std::string& text) {
    const std::string shown = WithoutControls(text);
    if (shown.find_first_of(",\"") == std::string::npos) return shown;
    std::string field = "\"";
    for (char c : shown) {
        if (c == '"') field += '"';
        field += c;
    }
    field += '"';
    return field;
}

std::string TsvField(const std::string& text) {
    // Tab, CR and LF would split the field or the row: a blank each.
    std::string field = text;
    std::replace_if(
        field.begin(), field.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; },
        ' ');
    return WithoutControls(field);
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char16_t unit : TextToUtf16(text)) {
        switch (unit) {
            case u'"':
                out += "\\\"";
                break;
            case u'\\':
                out += "\\\\";
                break;
            case u'\n':
                out += "\\n";
                break;
            case u'\r':
                out += "\\r";
                break;
            case u'\t':
                out += "\\t";
                break;
            default:
                if (unit < 0x20 || unit >= 0x7F) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
                    out += escape;
                } else {
                    out += static_cast<char>(unit);
                }
        }
    }
    out += '"';
    return out;
}

std::string FormatRows(const CResultTable& table, OutputFormat format, const RunFacts& facts) {
    switch (format) {
        case OutputFormat::OpenMetrics:
            return FormatOpenMetrics(table, facts);
        case OutputFormat::Tsv:
            return FormatSeparated(table, false);
        case OutputFormat::Csv:
            return FormatSeparated(table, true);
        case OutputFormat::Json:
            return FormatJson(table, facts);
        case OutputFormat::Table:
            break;
    }
    return FormatTable(table);
}

}  // namespace qm::cli
