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
    std::string field = text;
    for (char& c : field) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) c = '?';
    }
    return field;
}

bool IsPlainNumber(const std::string& text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           (text.size() == 1 || text[0] != '0');
}

std::string FormatTable(const CResultTable& table) {
    size_t widths[kVisibleColumns];
    for (int c = 0; c < kVisibleColumns; ++c)
        widths[c] = std::char_traits<char>::length(kHeaders[c]);
    for (const ResultRow& row : table.Rows()) {
        for (int c = 0; c < kVisibleColumns; ++c)
            widths[c] = std::max(widths[c], row.texts[c].size());
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
    for (const ResultRow& row : table.Rows()) appendLine([&row](int c) { return row.texts[c]; });
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
    for (const ResultRow& row : table.Rows()) {
        for (int c = 0; c < kColumnCount; ++c) {
            if (c > 0) out += separator;
            out += csv ? CsvField(row.texts[c]) : TsvField(row.texts[c]);
        }
        out += lineEnd;
    }
    return out;
}

// Who signed the file, for a row that is not identical: "signer" (the
// certificate's name) and "signatureState"; null where nobody asked.
std::string SignerMembers(const SignatureCheck& signature) {
    const char* state = SignatureStateName(signature.state);
    return std::string(", \"signer\": ") +
           (signature.signer.empty() ? "null" : JsonString(signature.signer)) +
           ", \"signatureState\": " + (state ? JsonString(state) : "null");
}

std::string FormatJson(const CResultTable& table) {
    // The cause and whether the date moved come after the nine columns.
    if (table.Rows().empty()) return "[]\n";
    std::string out = "[\n";
    bool first = true;
    for (const ResultRow& row : table.Rows()) {
        out += first ? "  {" : ",\n  {";
        first = false;
        for (int c = 0; c < kColumnCount; ++c) {
            if (c > 0) out += ", ";
            out += '"';
            out += kJsonNames[c];
            out += "\": ";
            const std::string& text = row.texts[c];
            if (c == kColEntry && text.empty() && row.attributes.cause == RowCause::NotListed) {
                out += "null";  // no entry names the file
            } else {
                out += c == kColEntry && IsPlainNumber(text) ? text : JsonString(text);
            }
        }
        const RowAttributes& attributes = row.attributes;
        const bool listed = attributes.cause != RowCause::NotListed;
        out += ", \"cause\": ";
        out += JsonString(CauseText(attributes.cause));
        out += ", \"dateChanged\": ";
        // Nothing recorded, nothing to compare with: neither true nor false.
        if (!listed) {
            out += "null";
        } else {
            out += row.texts[kColDateCurrent] != row.texts[kColDateRelease] ? "true" : "false";
        }
        out += ", \"digest\": ";
        out += attributes.digest == RowDigest::Sha256  ? "\"sha256\""
               : attributes.digest == RowDigest::Crc32 ? "\"crc32\""
                                                       : "null";
        out += ", \"sha256Current\": ";
        out += attributes.sha256Current.empty() ? "null" : JsonString(attributes.sha256Current);
        out += ", \"sha256Release\": ";
        out += attributes.sha256Release.empty() ? "null" : JsonString(attributes.sha256Release);
        out += SignerMembers(attributes.signature);
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
    for (char16_t unit : SystemTextToUtf16(text)) {
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

const char* CauseText(RowCause cause) {
    switch (cause) {
        case RowCause::SameContent:
            return "same content";
        case RowCause::SameCrc:
            return "same CRC-32";
        case RowCause::ContentChanged:
            return "content changed";
        case RowCause::ContentChangedSameCrc:
            return "content changed, CRC-32 equal";
        case RowCause::BadDigest:
            return "bad digest in list";
        case RowCause::ChangedWhileRead:
            return "changed while read";
        case RowCause::Missing:
            return "missing";
        case RowCause::Unreadable:
            return "unreadable";
        case RowCause::NotListed:
            return "not listed";
        case RowCause::Unknown:
            break;
    }
    return "";
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
            return FormatJson(table);
        case OutputFormat::Table:
            break;
    }
    return FormatTable(table);
}

}  // namespace qm::cli
