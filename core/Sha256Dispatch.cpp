// Chooses the SHA-256 kernel: the processor is asked once, and the fastest
// kernel it supports stays in use unless a test or benchmark forces another.
#include <atomic>

#include "core/Sha256Kernels.h"

#if QM_SHA256_X86_SHA_EXTENSIONS
#include <cpuid.h>
#endif

namespace qm::sha256 {

namespace {

// CPUID directly: not every compiler's __builtin_cpu_supports knows "sha".
// The SHA extensions work on the XMM registers only, which every x86-64
// system saves, so no check of the system's support is needed.
bool DetectShaExtensions() {
#if QM_SHA256_X86_SHA_EXTENSIONS
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    const bool ssse3 = (ecx & (1u << 9)) != 0;
    const bool sse41 = (ecx & (1u << 19)) != 0;
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return false;
    const bool sha = (ebx & (1u << 29)) != 0;
    return sha && ssse3 && sse41;
#else
    return false;
#endif
}

bool HasShaExtensions() {
    static const bool has = DetectShaExtensions();
    return has;
}

CompressFunction FunctionOf(Kernel kernel) {
#if QM_SHA256_X86_SHA_EXTENSIONS
    if (kernel == Kernel::ShaExtensions) return CompressShaExtensions;
#else
    (void)kernel;
#endif
    return CompressPortable;
}

constexpr int kNotChosen = -1;
std::atomic<int> g_activeKernel{kNotChosen};

}  // namespace

const char* KernelName(Kernel kernel) {
    switch (kernel) {
        case Kernel::Portable:
            return "portable";
        case Kernel::ShaExtensions:
            return "sha-ni";
    }
    return "unknown";
}

bool IsAvailable(Kernel kernel) {
    switch (kernel) {
        case Kernel::Portable:
            return true;
        case Kernel::ShaExtensions:
            return HasShaExtensions();
    }
    return false;
}

Kernel BestKernel() {
    return IsAvailable(Kernel::ShaExtensions) ? Kernel::ShaExtensions : Kernel::Portable;
}

Kernel ActiveKernel() {
    int active = g_activeKernel.load(std::memory_order_relaxed);
    if (active == kNotChosen) {
        // A kernel forced meanwhile by another thread stays.
        const int best = static_cast<int>(BestKernel());
        if (g_activeKernel.compare_exchange_strong(active, best, std::memory_order_relaxed)) {
            active = best;
        }
    }
    return static_cast<Kernel>(active);
}

CompressFunction ActiveKernelFunction() { return FunctionOf(ActiveKernel()); }

bool ForceKernel(Kernel kernel) {
    if (!IsAvailable(kernel)) return false;
    g_activeKernel.store(static_cast<int>(kernel), std::memory_order_relaxed);
    return true;
}

}  // namespace qm::sha256
