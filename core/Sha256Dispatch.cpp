// The SHA-256 kernels in the order of their speed, and the processor
// feature that each needs.
#include "core/KernelChoice.h"
#include "core/Sha256Kernels.h"

namespace qm::sha256 {

namespace {

using Entry = KernelEntry<Kernel, CompressFunction>;

constexpr Entry kKernels[] = {
    {Kernel::Portable, "portable", CompressPortable, nullptr},
#if QM_SHA256_X86_SHA_EXTENSIONS
    {Kernel::ShaExtensions, "sha-ni", CompressShaExtensions, &ProcessorFeatures::shaExtensions},
#endif
};

}  // namespace

const char* KernelName(Kernel kernel) { return KernelNameIn(kKernels, kernel); }

bool IsAvailable(Kernel kernel) { return KernelAvailable(kKernels, kernel); }

Kernel BestKernel() { return FastestKernel(kKernels); }

CompressFunction FunctionOf(Kernel kernel) { return FunctionOfKernel(kKernels, kernel); }

}  // namespace qm::sha256
