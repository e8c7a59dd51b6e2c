#include "core/WatchedFile.h"

#include "core/OperatorTexts.h"
#include "platform/Platform.h"

namespace qm {

std::vector<const ComparedFile*> WatchedFiles(const CResultTable& table) {
    std::vector<const ComparedFile*> files;
    for (const ResultRow& row : table.Rows()) {
        if (row.file.status != Identical) files.push_back(&row.file);
    }
    return files;
}

bool SignerAsked(const ComparedFile& file) {
    return file.status != Identical && !IsUnread(file.cause);
}

int CheckSignatures(CResultTable& table, const std::function<bool()>& goOn) {
    int questions = 0;
    for (ResultRow& row : table.Rows()) {
        ComparedFile& file = row.file;
        if (!SignerAsked(file)) continue;
        if (goOn && !goOn()) break;
        const SignatureCheck check = Platform().FileSignature(file.path);
        file.signatureState = check.state;
        file.signer = check.signer;
        ++questions;
    }
    return questions;
}

bool ChangedWithoutValidSignature(const ComparedFile& file) {
    const FileSignatureState state = file.signatureState;
    return (file.status == NotIdentical || file.status == NotListed) &&
           (state == FileSignatureState::Unsigned || state == FileSignatureState::Broken ||
            state == FileSignatureState::NotTrusted);
}

std::string SignerText(const ComparedFile& file) {
    switch (file.signatureState) {
        case FileSignatureState::Signed:
            return file.signer.empty() ? QM_SIGNER_SIGNED : QM_SIGNER_SIGNED_BY + file.signer;
        case FileSignatureState::Unsigned:
            return QM_SIGNER_UNSIGNED;
        case FileSignatureState::Broken:
            return QM_SIGNER_BROKEN;
        case FileSignatureState::NotTrusted:
            return QM_SIGNER_NOT_TRUSTED;
        case FileSignatureState::Unknown:
            return QM_SIGNER_UNKNOWN;
        case FileSignatureState::NotChecked:
            break;
    }
    return QM_SIGNER_NOT_CHECKED;
}

const char* FileSignatureStateName(FileSignatureState state) {
    switch (state) {
        case FileSignatureState::Signed:
            return "signed";
        case FileSignatureState::Unsigned:
            return "unsigned";
        case FileSignatureState::Broken:
            return "broken";
        case FileSignatureState::NotTrusted:
            return "untrusted";
        case FileSignatureState::Unknown:
            return "unknown";
        case FileSignatureState::NotChecked:
            break;
    }
    return nullptr;
}

}  // namespace qm
