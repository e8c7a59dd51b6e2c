// The CRC-32 calculator of program files: the standard CRC-32 (ISO 3309,
// ITU-T V.42; reflected polynomial 0xEDB88320, initial value and final
// complement 0xFFFFFFFF), computed over a file read in pieces of 4096 bytes.
//
// A run uses one calculator: BuildTable before its first file, FreeTable
// after its last, and FileCrc32 answers 23 (ERROR_CRC) outside that span, so
// that a run that never readied its calculator records no CRC at all. The
// calculator holds no table of its own: the byte-table kernel reads one that
// the compiler builds beside it, and the faster kernels (slicing, carry-less
// multiplication) carry their own constants. So Update, which runs the
// calculator's kernel (the fastest the processor has, unless UseKernel chose
// another for this calculator), needs no BuildTable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Crc32Kernels.h"

namespace qm {

class CCrc32 {
public:
    CCrc32() : m_pUpdate(crc32::FunctionOf(crc32::BestKernel())) {}
    virtual ~CCrc32() = default;
    CCrc32(const CCrc32&) = delete;
    CCrc32& operator=(const CCrc32&) = delete;

    // Readies the calculator for a run (again, when it was readied before).
    void BuildTable();
    // Ends the run; FileCrc32 then answers 23.
    void FreeTable();

    // The CRC of the whole file at `path`. Returns 0 when the file was read,
    // the system error code of a failed open, or 23 (ERROR_CRC) without a
    // table. `crc` is always written: 0 after a failed open or without a
    // table. A read that fails part way keeps the bytes read so far and still
    // returns 0; `readWhole` (optional) tells whether the file was opened and
    // read to its end, so that a caller can tell a CRC of what the file holds
    // from one of what could be read. It reads through the reading loop
    // (core/ReadingLoop.h): a file that changes meanwhile is read again, and
    // one that changed every time is not read whole.
    uint32_t FileCrc32(const std::string& path, uint32_t& crc, bool* readWhole = nullptr);

    // Continues a CRC over a buffer (raw register value: no initial value or
    // final complement applied) with this calculator's kernel, readied or not.
    uint32_t Update(uint32_t crc, const void* data, size_t length) const;

    // Makes `kernel` this calculator's kernel; false (and no change) when the
    // processor lacks it.
    bool UseKernel(crc32::Kernel kernel);

private:
    crc32::KernelFunction m_pUpdate;
    bool m_bTableBuilt = false;
};

}  // namespace qm
