#include "core/Crc32.h"

#include <memory>

#include "core/Crc32Kernels.h"
#include "platform/Platform.h"

namespace qm {

namespace {

// Files are read in pieces of this size, the way the release tool always has.
constexpr size_t kPieceSize = 4096;

}  // namespace

void CCrc32::BuildTable() { m_bTableBuilt = true; }

void CCrc32::FreeTable() { m_bTableBuilt = false; }

uint32_t CCrc32::Update(uint32_t crc, const void* data, size_t length) const {
    if (data == nullptr) return crc;
    return m_pUpdate(crc, static_cast<const unsigned char*>(data), length);
}

bool CCrc32::UseKernel(crc32::Kernel kernel) {
    if (!crc32::IsAvailable(kernel)) return false;
    m_pUpdate = crc32::FunctionOf(kernel);
    return true;
}

uint32_t CCrc32::FileCrc32(const std::string& path, uint32_t& crc, bool* readWhole) {
    uint32_t registerValue = 0xFFFFFFFFu;
    bool whole = false;
    uint32_t result = kErrorSuccess;
    if (!m_bTableBuilt) {
        result = kErrorCrc;
    } else {
        std::unique_ptr<IReadFile> file;
        result = Platform().OpenForReading(path, file);
        // A platform that reports success without a file has read nothing.
        if (result == kErrorSuccess && !file) result = kErrorCrc;
        if (result == kErrorSuccess) {
            const crc32::KernelFunction kernel = m_pUpdate;
            alignas(64) unsigned char piece[kPieceSize];
            for (;;) {
                size_t bytesRead = 0;
                if (!file->Read(piece, sizeof piece, bytesRead)) break;
                if (bytesRead == 0) {
                    whole = true;
                    break;
                }
                if (bytesRead > sizeof piece) bytesRead = sizeof piece;  // never past the buffer
                registerValue = kernel(registerValue, piece, bytesRead);
            }
        }
    }
    // After a failed open or outside a run the register still holds its
    // initial value, which the complement turns into 0.
    crc = ~registerValue;
    if (readWhole) *readWhole = whole;
    return result;
}

}  // namespace qm
