#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

// A test that cannot run on this machine skips in a developer's run; the
// whole suite sets TAVELIN_NO_SKIP, where a skip would hide a check that
// never ran, and so fails instead.
#define TAV_SKIP_UNLESS_SUITE(why)                                         \
    do {                                                                   \
        if (std::getenv("TAVELIN_NO_SKIP")) FAIL() << (why) << " (in the suite)"; \
        GTEST_SKIP() << (why);                                             \
    } while (false)
