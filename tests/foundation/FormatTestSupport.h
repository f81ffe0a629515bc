// Helpers shared by the formatting tests: readable Str255 results and a pinned locale.
#pragma once

#include "foundation/format/LocaleFormats.h"
#include "platform/MacTypes.h"

#include <gtest/gtest.h>

#include <string>

inline std::string PText(const unsigned char* s) {
    return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
}

inline void SetPText(unsigned char* s, const std::string& text) {
    s[0] = static_cast<unsigned char>(text.size());
    text.copy(reinterpret_cast<char*>(s + 1), text.size());
}

// Each test starts in the C.UTF-8 locale, whatever the environment says, and leaves the
// environment's locale in force when it ends.
class FormatLocaleTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetFormatLocale("C.UTF-8")); }
    void TearDown() override { SetFormatLocale(nullptr); }
};

// Switches to a named locale, or skips the test when the system has none by that name.
#define USE_LOCALE_OR_SKIP(name)                                                          \
    do {                                                                                  \
        if (!SetFormatLocale(name))                                                       \
            GTEST_SKIP() << "locale " << (name)                                           \
                         << " is not installed here (scripts/install-deps brings locales-all)"; \
    } while (0)
