// The SHA-256 kernels in the order of their speed, and the processor
// feature that each needs.
#include "core/KernelChoice.h"
#include "core/Sha256Kernels.h"

namespace qm::sha256 {

namespace {

using Entry = KernelEntry<Kernel, Compressors>;

constexpr Entry kKernels[] = {
    {Kernel::Portable, "portable", {CompressPortable, CompressPairPortable}, nullptr},
#if QM_SHA256_X86_SHA_EXTENSIONS
    {Kernel::ShaExtensions,
     "sha-ni",
     {CompressShaExtensions, CompressPairShaExtensions},
     &ProcessorFeatures::shaExtensions},
#endif
};

}  // namespace

const char* KernelName(Kernel kernel) { return KernelNameIn(kKernels, kernel); }

bool IsAvailable(Kernel kernel) { return KernelAvailable(kKernels, kernel); }

Kernel BestKernel() { return FastestKernel(kKernels); }

Compressors FunctionsOf(Kernel kernel) { return FunctionOfKernel(kKernels, kernel); }

}  // namespace qm::sha256
