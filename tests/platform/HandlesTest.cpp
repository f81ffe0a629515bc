#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Contents(Handle h) { return std::string(*h, static_cast<size_t>(GetHandleSize(h))); }

Handle HandleOf(const std::string& s) {
    Handle h = nullptr;
    EXPECT_EQ(PtrToHand(s.data(), &h, static_cast<Size>(s.size())), noErr);
    return h;
}

TEST(Handles, GrowShrinkKeepsBytesAndZeroFills) {
    Handle h = HandleOf("abc");
    SetHandleSize(h, 6);
    ASSERT_EQ(MemError(), noErr);
    EXPECT_EQ(Contents(h), std::string("abc\0\0\0", 6));
    SetHandleSize(h, 2);
    EXPECT_EQ(Contents(h), "ab");
    SetHandleSize(h, -1);
    EXPECT_EQ(MemError(), paramErr);
    EXPECT_EQ(GetHandleSize(h), 2);
    DisposeHandle(h);
}

TEST(Handles, NullHandleIsReportedNotDereferenced) {
    EXPECT_EQ(GetHandleSize(nullptr), 0);
    EXPECT_EQ(MemError(), nilHandleErr);
    EXPECT_EQ(PtrAndHand("x", nullptr, 1), nilHandleErr);
    Handle h = nullptr;
    EXPECT_EQ(HandToHand(&h), nilHandleErr);
}

TEST(Handles, AppendFromInsideItselfSurvivesTheMove) {
    Handle h = HandleOf("0123456789");
    // The source lies in the block that must grow (and may move) to take it.
    EXPECT_EQ(PtrAndHand(*h + 2, h, 5), noErr);
    EXPECT_EQ(Contents(h), "012345678923456");
    DisposeHandle(h);
}

TEST(Handles, HandToHandMakesIndependentCopy) {
    Handle a = HandleOf("xyz");
    Handle b = a;
    ASSERT_EQ(HandToHand(&b), noErr);
    ASSERT_NE(a, b);
    (*b)[0] = 'Q';
    EXPECT_EQ(Contents(a), "xyz");
    EXPECT_EQ(Contents(b), "Qyz");
    EXPECT_EQ(HandAndHand(a, b), noErr);
    EXPECT_EQ(Contents(b), "Qyzxyz");
    DisposeHandle(a);
    DisposeHandle(b);
}

struct MungerCase {
    const char* name;
    std::string start;
    long offset;
    const char* ptr1;
    long len1;
    const char* ptr2;
    long len2;
    long result;
    std::string after;
};

class MungerTable : public ::testing::TestWithParam<MungerCase> {};

TEST_P(MungerTable, SearchesAndReplaces) {
    const MungerCase& c = GetParam();
    Handle h = HandleOf(c.start);
    EXPECT_EQ(Munger(h, c.offset, c.ptr1, c.len1, c.ptr2, c.len2), c.result);
    EXPECT_EQ(Contents(h), c.after);
    DisposeHandle(h);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MungerTable,
    ::testing::Values(
        MungerCase{"replace_found", "hello world", 0, "world", 5, "there", 5, 11, "hello there"},
        MungerCase{"replace_shorter", "a--b--c", 0, "--", 2, "+", 1, 2, "a+b--c"},
        MungerCase{"search_after_offset", "a--b--c", 3, "--", 2, "+", 1, 5, "a--b+c"},
        MungerCase{"not_found", "abc", 0, "zz", 2, "y", 1, -1, "abc"},
        MungerCase{"find_only", "abcabc", 1, "abc", 3, nullptr, 0, 3, "abcabc"},
        MungerCase{"insert_at_offset", "abc", 1, nullptr, 0, "XY", 2, 3, "aXYbc"},
        MungerCase{"delete_range", "abcdef", 2, nullptr, 2, "", 0, 2, "abef"},
        MungerCase{"replace_to_end", "abcdef", 3, nullptr, -1, "Z", 1, 4, "abcZ"},
        MungerCase{"range_past_end_clamped", "abc", 2, nullptr, 50, "", 0, 2, "ab"},
        MungerCase{"append_at_end", "abc", 3, nullptr, 0, "d", 1, 4, "abcd"},
        MungerCase{"offset_past_end_refused", "abc", 4, nullptr, 0, "d", 1, -1, "abc"},
        MungerCase{"pattern_longer_than_rest", "abc", 1, "bcd", 3, "x", 1, -1, "abc"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Handles, MungerReplacementFromInsideTheBlock) {
    Handle h = HandleOf("abc");
    EXPECT_EQ(Munger(h, 0, nullptr, 0, *h, 3), 3);
    EXPECT_EQ(Contents(h), "abcabc");
    DisposeHandle(h);
}

TEST(Handles, LockFlagIsKept) {
    Handle h = NewHandleClear(4);
    EXPECT_FALSE(HIsLocked(h));
    HLock(h);
    EXPECT_TRUE(HIsLocked(h));
    HUnlock(h);
    EXPECT_FALSE(HIsLocked(h));
    EXPECT_EQ(std::memcmp(*h, "\0\0\0\0", 4), 0);
    DisposeHandle(h);
}

}  // namespace
