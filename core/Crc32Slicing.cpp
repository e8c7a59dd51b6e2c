// The table-driven kernels: one look-up per byte, and slicing by sixteen for
// processors without carry-less multiplication (and for the short ends of
// buffers that the folding kernels leave). Their tables are built here, by
// the compiler, and read by no other kernel: the folding kernels carry their
// own constants.
#include <array>

#include "core/Crc32Kernels.h"

namespace qm::crc32 {

namespace {

// Entry [k][i] is the CRC register after byte i followed by k zero bytes,
// starting from 0; [0] is the ordinary byte table.
struct SlicingTables {
    uint32_t entry[16][256];
};

constexpr SlicingTables MakeSlicingTables() {
    SlicingTables tables{};
    for (uint32_t i = 0; i < 256; ++i) tables.entry[0][i] = ByteTableEntry(i);
    for (int k = 1; k < 16; ++k) {
        for (int i = 0; i < 256; ++i) {
            const uint32_t previous = tables.entry[k - 1][i];
            tables.entry[k][i] = (previous >> 8) ^ tables.entry[0][previous & 0xFF];
        }
    }
    return tables;
}

constexpr SlicingTables kTables = MakeSlicingTables();

// Little-endian load that compiles to one move on little-endian machines and
// stays right on big-endian ones.
inline uint32_t LoadLittleEndian32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

uint32_t UpdateByteTable(uint32_t crc, const unsigned char* data, size_t length) {
    const auto& byteTable = kTables.entry[0];
    for (size_t i = 0; i < length; ++i) crc = byteTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

uint32_t UpdateSlicing16(uint32_t crc, const unsigned char* data, size_t length) {
    const auto& t = kTables.entry;
    while (length >= 16) {
        const uint32_t a = LoadLittleEndian32(data) ^ crc;
        const uint32_t b = LoadLittleEndian32(data + 4);
        const uint32_t c = LoadLittleEndian32(data + 8);
        const uint32_t d = LoadLittleEndian32(data + 12);
        crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
              t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
              t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^
              t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
        data += 16;
        length -= 16;
    }
    for (size_t i = 0; i < length; ++i) crc = t[0][(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

}  // namespace qm::crc32
