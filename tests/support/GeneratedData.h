#pragma once
// Tests that need what the data generator makes or reads (the archives beside the program, the
// free fonts it rasterises) stop when it is missing: with a failure in a build that generates the
// data, where a missing archive or font is a broken build; with a skip only in a build without the
// generator.

#include <gtest/gtest.h>

#ifndef VESK_GENERATES_DATA
#define VESK_GENERATES_DATA 0
#endif

// Use as a statement in a test body or in SetUp; returns from the function when 'present' is false.
#define VESK_REQUIRE_GENERATED(present, what)                                                     \
    if (present) {                                                                                 \
    } else if (VESK_GENERATES_DATA)                                                                \
        FAIL() << what << " is missing, although this build generates the data (see tools/setup.sh)"; \
    else                                                                                           \
        GTEST_SKIP() << what << " is missing and this build does not generate the data"
