#include "core/Crc32.h"

#include <memory>

#include "core/Crc32Kernels.h"
#include "platform/Platform.h"

namespace qm {

namespace {

constexpr uint32_t kReflectedPolynomial = 0xEDB88320u;
// Files are read in pieces of this size, the way the release tool always has.
constexpr size_t kPieceSize = 4096;

}  // namespace

CCrc32::~CCrc32() { FreeTable(); }

void CCrc32::BuildTable() {
    FreeTable();
    m_pTable = new uint32_t[256];
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t x = i;
        for (int bit = 0; bit < 8; ++bit) x = (x & 1) ? (x >> 1) ^ kReflectedPolynomial : x >> 1;
        m_pTable[i] = x;
    }
}

void CCrc32::FreeTable() {
    delete[] m_pTable;
    m_pTable = nullptr;
}

uint32_t CCrc32::Update(uint32_t crc, const void* data, size_t length) const {
    // Without a table there is no calculator; the register stays as it is.
    if (m_pTable == nullptr || data == nullptr) return crc;
    return crc32::ActiveKernelFunction()(crc, static_cast<const unsigned char*>(data), length,
                                         m_pTable);
}

uint32_t CCrc32::FileCrc32(const std::string& path, uint32_t& crc) {
    uint32_t registerValue = 0xFFFFFFFFu;
    uint32_t result = kErrorSuccess;
    if (m_pTable == nullptr) {
        result = kErrorCrc;
    } else {
        std::unique_ptr<IReadFile> file;
        result = Platform().OpenForReading(path, file);
        // A platform that reports success without a file has read nothing.
        if (result == kErrorSuccess && !file) result = kErrorCrc;
        if (result == kErrorSuccess) {
            const crc32::KernelFunction kernel = crc32::ActiveKernelFunction();
            alignas(64) unsigned char piece[kPieceSize];
            for (;;) {
                size_t bytesRead = 0;
                if (!file->Read(piece, sizeof piece, bytesRead) || bytesRead == 0) break;
                if (bytesRead > sizeof piece) bytesRead = sizeof piece;  // never past the buffer
                registerValue = kernel(registerValue, piece, bytesRead, m_pTable);
            }
        }
    }
    // After a failed open or without a table the register still holds its
    // initial value, which the complement turns into 0.
    crc = ~registerValue;
    return result;
}

}  // namespace qm
