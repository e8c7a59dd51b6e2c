#include "core/WatchedFile.h"

#include <array>

#include "core/Capacities.h"
#include "core/ReleaseListFormat.h"
#include "core/ResultTable.h"
#include "platform/Platform.h"

namespace qm {

namespace {

WatchedFile FileOf(int row, const std::array<std::string, kColumnCount>& texts,
                   const RowAttributes& attributes) {
    WatchedFile file;
    file.row = row;
    file.path = texts[kColFileName];
    file.sectionIndex = texts[kColSection] == kComponentDirectories[1].section ? 1 : 0;
    file.status = static_cast<FileStatus>(attributes.image);
    file.cause = attributes.cause;
    file.entry = texts[kColEntry];
    file.comment = texts[kColComment];
    file.sha256Current = attributes.sha256Current;
    file.sha256Release = attributes.sha256Release;
    file.signature = attributes.signature;
    return file;
}

// A row's path is cut to its capacity: one that fills it may name another file.
bool MayBeCut(const std::string& path) { return path.size() >= kListedPathCapacity - 1; }

}  // namespace

std::vector<WatchedFile> WatchedFiles(const IResultList& list) {
    std::vector<WatchedFile> files;
    // A plain table is read in place: an all-identical run of 2 x 9,998
    // rows copies nothing.
    if (const auto* table = dynamic_cast<const CResultTable*>(&list)) {
        int row = 0;
        for (const ResultRow& each : table->Rows()) {
            if (each.attributes.image != Identical) {
                files.push_back(FileOf(row, each.texts, each.attributes));
            }
            ++row;
        }
        return files;
    }
    for (int row = 0; row < list.RowCount(); ++row) {
        const RowAttributes attributes = list.GetRowAttributes(row);
        if (attributes.image == Identical) continue;
        std::array<std::string, kColumnCount> texts;
        for (int column = 0; column < kColumnCount; ++column) {
            texts[column] = list.GetCellText(row, column);
        }
        files.push_back(FileOf(row, texts, attributes));
    }
    return files;
}

int CheckSignatures(IResultList& list) {
    int questions = 0;
    for (const WatchedFile& file : WatchedFiles(list)) {
        if (file.cause == RowCause::Missing || MayBeCut(file.path)) continue;
        RowAttributes attributes = list.GetRowAttributes(file.row);
        attributes.signature = Platform().FileSignature(file.path);
        list.SetRowAttributes(file.row, attributes);
        ++questions;
    }
    return questions;
}

bool ChangedWithoutValidSignature(const WatchedFile& file) {
    const SignatureState state = file.signature.state;
    return (file.status == NotIdentical || file.status == NotListed) &&
           (state == SignatureState::Unsigned || state == SignatureState::Broken ||
            state == SignatureState::NotTrusted);
}

std::string SignatureText(const SignatureCheck& check) {
    switch (check.state) {
        case SignatureState::Signed:
            return check.signer.empty() ? "signed" : "signed by " + check.signer;
        case SignatureState::Unsigned:
            return "unsigned";
        case SignatureState::Broken:
            return "signature broken (hash mismatch)";
        case SignatureState::NotTrusted:
            return "not trusted";
        case SignatureState::Unknown:
            return "signature unknown";
        case SignatureState::NotChecked:
            break;
    }
    return "not checked";
}

const char* SignatureStateName(SignatureState state) {
    switch (state) {
        case SignatureState::Signed:
            return "signed";
        case SignatureState::Unsigned:
            return "unsigned";
        case SignatureState::Broken:
            return "broken";
        case SignatureState::NotTrusted:
            return "untrusted";
        case SignatureState::Unknown:
            return "unknown";
        case SignatureState::NotChecked:
            break;
    }
    return nullptr;
}

}  // namespace qm
