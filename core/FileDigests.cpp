#include "core/FileDigests.h"

namespace qm {

uint32_t OpenToRead(const std::string& path, std::unique_ptr<IReadFile>& file) {
    const uint32_t error = Platform().OpenForReading(path, file);
    return error == kErrorSuccess && !file ? uint32_t{kErrorCrc} : error;
}

bool ReadToEnd(IReadFile& file, CFileHashes& hashes, CReadBuffer& buffer) {
    for (;;) {
        size_t bytesRead = 0;
        if (!file.Read(buffer.Data(), CReadBuffer::kPieceSize, bytesRead)) return false;
        if (bytesRead == 0) return true;
        // Never past the buffer, whatever the platform claims.
        if (bytesRead > CReadBuffer::kPieceSize) bytesRead = CReadBuffer::kPieceSize;
        hashes.Add(buffer.Data(), bytesRead);
    }
}

bool ChangedBetween(bool hadBefore, const FileFacts& before, bool hasAfter,
                    const FileFacts& after) {
    if (!hadBefore || !hasAfter) return false;
    return before.size != after.size || before.lastWrite.ticks != after.lastWrite.ticks;
}

FileDigests ReadFileDigests(const CCrc32& crc, const std::string& path, CReadBuffer& buffer,
                            Digests which) {
    FileDigests digests;
    for (int attempt = 0; attempt <= kRereadsOfAChangingFile; ++attempt) {
        std::unique_ptr<IReadFile> file;
        digests.openError = OpenToRead(path, file);
        if (digests.openError != kErrorSuccess) return FileDigests{digests.openError};

        FileFacts before;
        const bool hadBefore = file->Facts(before);
        CFileHashes hashes(crc, which);
        if (!ReadToEnd(*file, hashes, buffer)) {
            // The CRC of the bytes read up to the failure, as it always was
            // shown; the file is not read whole, so it matches nothing.
            digests.crc = hashes.Crc();
            return digests;
        }
        FileFacts after;
        const bool hasAfter = file->Facts(after);
        if (ChangedBetween(hadBefore, before, hasAfter, after)) continue;  // read it again
        digests.readWhole = true;
        digests.crc = hashes.Crc();
        digests.hasSha256 = hashes.HasSha256();
        digests.sha256 = hashes.Sha256();
        return digests;
    }
    FileDigests changing;
    changing.changing = true;
    return changing;
}

}  // namespace qm
