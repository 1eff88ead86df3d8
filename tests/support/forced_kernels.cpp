// Linked into the test programs that run once per kernel set: the set named
// in TAZU_KERNELS (plain, avx2, avx512) is forced before any test runs, and
// every test is skipped on a processor that lacks it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cipher/kernels.h"

namespace tazu {
namespace {

class ForcedKernels : public ::testing::Environment {
  public:
    void SetUp() override {
        const char* wanted = std::getenv("TAZU_KERNELS");
        if (wanted == nullptr || *wanted == '\0') {
            return;  // the set the processor would choose
        }
        for (const KernelSet set : kAllKernelSets) {
            if (wanted == std::string(KernelSetName(set))) {
                if (!ForceKernelSet(set)) {
                    GTEST_SKIP() << wanted << " kernels: not on this processor";
                }
                ASSERT_EQ(ActiveKernelSet(), set);
                return;
            }
        }
        FAIL() << "TAZU_KERNELS names no kernel set: " << wanted;
    }
};

[[maybe_unused]] ::testing::Environment* const kForcedKernels =
    ::testing::AddGlobalTestEnvironment(new ForcedKernels);

}  // namespace
}  // namespace tazu
