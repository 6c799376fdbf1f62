#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstring>

#include "system/System.h"

// Free pages go back only at the process's peak: memory first touched takes
// it there, and once let go leaves it below.
TEST(System, AtPeakOnlyWhileHoldingTheMostItEverHas) {
    constexpr size_t kBytes = size_t(64) << 20;
    void* const block = mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(block, MAP_FAILED);
    std::memset(block, 1, kBytes);
    EXPECT_TRUE(System::AtPeak());
    munmap(block, kBytes);
    EXPECT_FALSE(System::AtPeak());
}
