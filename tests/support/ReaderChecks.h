#pragma once
// Shared check for the reader tests: a reader's kinds go to `handler` with
// `category` under editions 200 and 500, and to handler 1 under edition 400.
// Call it through ASSERT_NO_FATAL_FAILURE so a failed engine start still stops the test.

#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace support {

inline void ExpectKindsRegisteredExceptUnder400(std::initializer_list<OSType> types, int handler,
                                                int category) {
    for (SInt32 edition : {200, 400, 500}) {
        ASSERT_EQ(KindEngineInit(nullptr, 0, edition, 200), noErr);
        for (OSType type : types) {
            EXPECT_EQ(KindGetHandler(type), edition == 400 ? 1 : handler) << edition;
            if (edition != 400) {
                EXPECT_EQ(KindGetCategory(type), category);
            }
        }
        KindEngineShutdown();
        KindTableClear();
    }
}

}  // namespace support
