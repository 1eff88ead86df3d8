#include "cipher/kernels.h"

#include <atomic>

namespace tazu {

namespace {

const internal::KernelTable* TableOf(KernelSet set) {
    switch (set) {
        case KernelSet::kPlain:
            return &internal::kPlainKernels;
#if defined(__x86_64__)
        case KernelSet::kAvx2:
            return &internal::kAvx2Kernels;
        case KernelSet::kAvx512:
            return &internal::kAvx512Kernels;
#else
        default:
            break;
#endif
    }
    return nullptr;
}

KernelSet WidestSupported() {
    for (const KernelSet set : {KernelSet::kAvx512, KernelSet::kAvx2}) {
        if (KernelSetSupported(set)) {
            return set;
        }
    }
    return KernelSet::kPlain;
}

// The table in use, chosen on first use (null before). Relaxed loads
// suffice: every thread that races on the first use picks the same table,
// and a forced change happens while no other thread works.
std::atomic<const internal::KernelTable*> g_active{nullptr};

}  // namespace

const char* KernelSetName(KernelSet set) {
    switch (set) {
        case KernelSet::kPlain:
            return "plain";
        case KernelSet::kAvx2:
            return "avx2";
        case KernelSet::kAvx512:
            return "avx512";
    }
    return "?";
}

bool KernelSetSupported(KernelSet set) {
    switch (set) {
        case KernelSet::kPlain:
            return true;
#if defined(__x86_64__)
        case KernelSet::kAvx2:
            return __builtin_cpu_supports("avx2");
        case KernelSet::kAvx512:
            return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f") &&
                   __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
                   __builtin_cpu_supports("avx512vbmi");
#else
        default:
            return false;
#endif
    }
    return false;
}

KernelSet ActiveKernelSet() {
    const internal::KernelTable* table = &internal::Kernels();
    for (const KernelSet set : kAllKernelSets) {
        if (TableOf(set) == table) {
            return set;
        }
    }
    return KernelSet::kPlain;
}

bool ForceKernelSet(KernelSet set) {
    if (!KernelSetSupported(set)) {
        return false;
    }
    g_active.store(TableOf(set), std::memory_order_relaxed);
    return true;
}

namespace internal {

const KernelTable& Kernels() {
    const KernelTable* table = g_active.load(std::memory_order_relaxed);
    if (table == nullptr) [[unlikely]] {
        table = TableOf(WidestSupported());
        g_active.store(table, std::memory_order_relaxed);
    }
    return *table;
}

}  // namespace internal
}  // namespace tazu
