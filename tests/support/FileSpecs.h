// File specs of paths in tests.
#pragma once

#include "platform/Files.h"

#include <gtest/gtest.h>

#include <string>

// The spec as FSMakeFSSpecFromPath fills it, whatever it answers: for paths a test makes bad
// on purpose (a missing folder, an empty path).
inline FSSpec SpecOf(const std::string& path) {
    FSSpec spec;
    FSMakeFSSpecFromPath(path, &spec);
    return spec;
}

// The spec of a file that exists or that the test is about to make; any other answer fails
// the test.
inline FSSpec CheckedSpecOf(const std::string& path) {
    FSSpec spec;
    const OSErr err = FSMakeFSSpecFromPath(path, &spec);
    EXPECT_TRUE(err == noErr || err == fnfErr) << path << " -> " << err;
    return spec;
}
