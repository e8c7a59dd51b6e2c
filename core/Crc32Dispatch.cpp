// The CRC-32 kernels in the order of their speed, and the processor feature
// that each needs.
#include "core/Crc32Kernels.h"
#include "core/KernelChoice.h"

namespace qm::crc32 {

namespace {

using Entry = KernelEntry<Kernel, KernelFunction>;

constexpr Entry kKernels[] = {
    {Kernel::ByteTable, "byte-table", UpdateByteTable, nullptr},
    {Kernel::Slicing16, "slicing-16", UpdateSlicing16, nullptr},
#if QM_CRC32_X86_FOLDING
    {Kernel::Pclmul, "pclmul", UpdatePclmul, &ProcessorFeatures::pclmul},
    {Kernel::Vpclmul256, "vpclmul-256", UpdateVpclmul256, &ProcessorFeatures::vpclmul256},
    {Kernel::Vpclmul512, "vpclmul-512", UpdateVpclmul512, &ProcessorFeatures::vpclmul512},
#endif
};

}  // namespace

const char* KernelName(Kernel kernel) { return KernelNameIn(kKernels, kernel); }

bool IsAvailable(Kernel kernel) { return KernelAvailable(kKernels, kernel); }

Kernel BestKernel() { return FastestKernel(kKernels); }

KernelFunction FunctionOf(Kernel kernel) { return FunctionOfKernel(kKernels, kernel); }

uint32_t Update(Kernel kernel, uint32_t crc, const void* data, size_t length) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (length == 0 || bytes == nullptr) return crc;
    if (!IsAvailable(kernel)) return UpdateSlicing16(crc, bytes, length);
    return FunctionOf(kernel)(crc, bytes, length);
}

}  // namespace qm::crc32
