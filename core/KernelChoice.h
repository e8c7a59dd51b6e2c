// How an engine (the CRC-32, the SHA-256) chooses its kernel, after 7-Zip's
// per-object function choice: each engine lists its kernels from the
// slowest to the fastest, each with its name and the processor feature it
// needs; an engine object takes the fastest that this processor has
// (core/ProcessorFeatures.h) when it is made, and a test or benchmark may
// give one object another. No choice is kept for the whole process, so
// nothing needs to be set back.
#pragma once

#include <cstddef>

#include "core/ProcessorFeatures.h"

namespace qm {

template <class Kernel, class Function>
struct KernelEntry {
    Kernel kernel;
    const char* name;
    Function function;
    bool ProcessorFeatures::*needs;  // null: every processor has it
};

template <class Kernel, class Function, size_t count>
const KernelEntry<Kernel, Function>* FindKernel(const KernelEntry<Kernel, Function> (&table)[count],
                                                Kernel kernel) {
    for (const auto& entry : table) {
        if (entry.kernel == kernel) return &entry;
    }
    return nullptr;  // not built for this processor family
}

template <class Kernel, class Function, size_t count>
bool KernelAvailable(const KernelEntry<Kernel, Function> (&table)[count], Kernel kernel) {
    const auto* entry = FindKernel(table, kernel);
    return entry != nullptr && (entry->needs == nullptr || Processor().*(entry->needs));
}

// The fastest kernel this processor has; the table starts with one that
// every processor has.
template <class Kernel, class Function, size_t count>
Kernel FastestKernel(const KernelEntry<Kernel, Function> (&table)[count]) {
    for (size_t i = count; i-- > 1;) {
        if (KernelAvailable(table, table[i].kernel)) return table[i].kernel;
    }
    return table[0].kernel;
}

// The function of `kernel`, or of the fastest kernel when this processor
// lacks it.
template <class Kernel, class Function, size_t count>
Function FunctionOfKernel(const KernelEntry<Kernel, Function> (&table)[count], Kernel kernel) {
    if (!KernelAvailable(table, kernel)) kernel = FastestKernel(table);
    return FindKernel(table, kernel)->function;
}

template <class Kernel, class Function, size_t count>
const char* KernelNameIn(const KernelEntry<Kernel, Function> (&table)[count], Kernel kernel) {
    const auto* entry = FindKernel(table, kernel);
    return entry != nullptr ? entry->name : "unknown";
}

}  // namespace qm
