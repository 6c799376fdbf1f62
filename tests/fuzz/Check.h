#ifndef CUBOMB_TESTS_FUZZ_CHECK_H
#define CUBOMB_TESTS_FUZZ_CHECK_H

#include <cstdlib>

// A failed oracle aborts: libFuzzer and the standalone runner both report that.
inline void Check(bool ok) {
    if (!ok) std::abort();
}

#endif
