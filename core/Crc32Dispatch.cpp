// Chooses the CRC-32 kernel: the processor is asked once, and the fastest
// kernel it supports stays in use unless a test or benchmark forces another.
#include <atomic>

#include "core/Crc32Kernels.h"

namespace qm::crc32 {

namespace {

struct ProcessorFeatures {
    bool pclmul = false;
    bool vpclmul256 = false;
    bool vpclmul512 = false;
};

ProcessorFeatures DetectFeatures() {
    ProcessorFeatures features;
#if QM_CRC32_X86_FOLDING
    // Explicitly, since the first CRC may be taken before libgcc's own
    // constructor has run. The AVX checks include the system's support for
    // saving the wide registers.
    __builtin_cpu_init();
    const bool pclmul = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    const bool vpclmul = pclmul && __builtin_cpu_supports("vpclmulqdq");
    features.pclmul = pclmul;
    features.vpclmul256 = vpclmul && __builtin_cpu_supports("avx2");
    features.vpclmul512 = features.vpclmul256 && __builtin_cpu_supports("avx512f");
#endif
    return features;
}

const ProcessorFeatures& Features() {
    static const ProcessorFeatures features = DetectFeatures();
    return features;
}

KernelFunction FunctionOf(Kernel kernel) {
    switch (kernel) {
        case Kernel::ByteTable:
            return UpdateByteTable;
        case Kernel::Slicing16:
            return UpdateSlicing16;
#if QM_CRC32_X86_FOLDING
        case Kernel::Pclmul:
            return UpdatePclmul;
        case Kernel::Vpclmul256:
            return UpdateVpclmul256;
        case Kernel::Vpclmul512:
            return UpdateVpclmul512;
#else
        default:
            break;
#endif
    }
    return UpdateSlicing16;
}

constexpr int kNotChosen = -1;
std::atomic<int> g_activeKernel{kNotChosen};

}  // namespace

const char* KernelName(Kernel kernel) {
    switch (kernel) {
        case Kernel::ByteTable:
            return "byte-table";
        case Kernel::Slicing16:
            return "slicing-16";
        case Kernel::Pclmul:
            return "pclmul";
        case Kernel::Vpclmul256:
            return "vpclmul-256";
        case Kernel::Vpclmul512:
            return "vpclmul-512";
    }
    return "unknown";
}

bool IsAvailable(Kernel kernel) {
    switch (kernel) {
        case Kernel::ByteTable:
        case Kernel::Slicing16:
            return true;
        case Kernel::Pclmul:
            return Features().pclmul;
        case Kernel::Vpclmul256:
            return Features().vpclmul256;
        case Kernel::Vpclmul512:
            return Features().vpclmul512;
    }
    return false;
}

Kernel BestKernel() {
    if (IsAvailable(Kernel::Vpclmul512)) return Kernel::Vpclmul512;
    if (IsAvailable(Kernel::Vpclmul256)) return Kernel::Vpclmul256;
    if (IsAvailable(Kernel::Pclmul)) return Kernel::Pclmul;
    return Kernel::Slicing16;
}

Kernel ActiveKernel() {
    int active = g_activeKernel.load(std::memory_order_relaxed);
    if (active == kNotChosen) {
        active = static_cast<int>(BestKernel());
        g_activeKernel.store(active, std::memory_order_relaxed);
    }
    return static_cast<Kernel>(active);
}

KernelFunction ActiveKernelFunction() { return FunctionOf(ActiveKernel()); }

bool ForceKernel(Kernel kernel) {
    if (!IsAvailable(kernel)) return false;
    g_activeKernel.store(static_cast<int>(kernel), std::memory_order_relaxed);
    return true;
}

uint32_t Update(Kernel kernel, uint32_t crc, const void* data, size_t length) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (length == 0 || bytes == nullptr) return crc;
    if (!IsAvailable(kernel)) return UpdateSlicing16(crc, bytes, length);
    return FunctionOf(kernel)(crc, bytes, length);
}

}  // namespace qm::crc32
