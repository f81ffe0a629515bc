#include "platform/ByteOrder.h"
#include "platform/MacDates.h"
#include "platform/MacTypes.h"
#include "platform/TimerService.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(OSTypeLiteral, PacksFirstCharacterHigh) {
    EXPECT_EQ(OSType('TEXT'), 0x54455854u);
    EXPECT_EQ(MakeOSType("025i"), 0x30323569u);
    std::uint8_t b[4];
    WriteBE32(b, 'FSM!');
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b), 4), "FSM!");
}

TEST(ByteOrder, ReadsAndWritesBothOrders) {
    std::uint8_t b[8] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    EXPECT_EQ(ReadBE16(b), 0x0102);
    EXPECT_EQ(ReadLE16(b), 0x0201);
    EXPECT_EQ(ReadBE32(b + 1), 0x02030405u);
    EXPECT_EQ(ReadLE32(b), 0x04030201u);
    EXPECT_EQ(ReadBE64(b), 0x0102030405060708ull);
    EXPECT_EQ(ReadLE64(b), 0x0807060504030201ull);
    std::uint8_t w[8] = {};
    WriteBE64(w, 0x1122334455667788ull);
    EXPECT_EQ(ReadBE64(w), 0x1122334455667788ull);
    WriteLE32(w, 0xA1B2C3D4u);
    EXPECT_EQ(w[0], 0xD4);
    std::uint32_t field = 0x01020304;
    SwapBigEndianInPlace(field);
    EXPECT_EQ(field, 0x04030201u);
    std::int16_t s = -2;
    SwapBigEndianInPlace(s);
    SwapBigEndianInPlace(s);
    EXPECT_EQ(s, -2);
}

TEST(Geometry, RectOperations) {
    Rect a, b, s, u;
    SetRect(&a, 0, 0, 10, 10);
    SetRect(&b, 5, 5, 20, 8);
    EXPECT_TRUE(SectRect(&a, &b, &s));
    EXPECT_EQ(s.left, 5);
    EXPECT_EQ(s.right, 10);
    EXPECT_EQ(s.bottom, 8);
    UnionRect(&a, &b, &u);
    EXPECT_EQ(u.right, 20);
    Rect far;
    SetRect(&far, 30, 30, 40, 40);
    EXPECT_FALSE(SectRect(&a, &far, &s));
    EXPECT_TRUE(EmptyRect(&s));
    EXPECT_TRUE(PtInRect(Point{0, 0}, &a));
    EXPECT_FALSE(PtInRect(Point{10, 0}, &a));
    EXPECT_EQ(RGBColorToColorRef(RGBColor{0xFFFF, 0x8000, 0x00FF}), 0x0080FFu);
    EXPECT_EQ(Fix2Long(DoubleToFixed(2.5)), 3);
    EXPECT_DOUBLE_EQ(FixedToDouble(Long2Fix(-3)), -3.0);
}

struct DateCase {
    std::uint32_t mac;
    int y, mo, d, h, mi, s, dow;
};

TEST(MacDates, CalendarBothWaysAcrossTheEpochsAnd2038) {
    const std::vector<DateCase> cases = {
        {0, 1904, 1, 1, 0, 0, 0, 6},                  // Friday
        {2082844800u, 1970, 1, 1, 0, 0, 0, 5},        // Thursday
        {2082844800u + 2147483647u, 2038, 1, 19, 3, 14, 7, 3},
        {2082844800u + 2147483648u, 2038, 1, 19, 3, 14, 8, 3},
        {3502915200u, 2015, 1, 1, 0, 0, 0, 5},
        {0xFFFFFFFFu, 2040, 2, 6, 6, 28, 15, 2},      // the last Mac second, a Monday
        {3029529600u, 2000, 1, 1, 0, 0, 0, 7},
        {3034627200u, 2000, 2, 29, 0, 0, 0, 3},
    };
    for (const auto& c : cases) {
        DateTimeRec r{};
        SecondsToDate(c.mac, &r);
        EXPECT_EQ(r.year, c.y) << c.mac;
        EXPECT_EQ(r.month, c.mo) << c.mac;
        EXPECT_EQ(r.day, c.d) << c.mac;
        EXPECT_EQ(r.hour, c.h) << c.mac;
        EXPECT_EQ(r.minute, c.mi) << c.mac;
        EXPECT_EQ(r.second, c.s) << c.mac;
        EXPECT_EQ(r.dayOfWeek, c.dow) << c.mac;
        std::uint32_t back = 0;
        DateToSeconds(&r, &back);
        EXPECT_EQ(back, c.mac);
    }
    DateTimeRec before{1903, 12, 31, 23, 59, 59, 0};
    std::uint32_t clamped = 1;
    DateToSeconds(&before, &clamped);
    EXPECT_EQ(clamped, 0u);
    DateTimeRec after{2041, 1, 1, 0, 0, 0, 0};
    DateToSeconds(&after, &clamped);
    EXPECT_EQ(clamped, 0xFFFFFFFFu);
}

TEST(TimerService, FiresInDueOrderAndRepeatsUntilStopped) {
    ManualTimerService timers;
    std::vector<int> fired;
    TimerId slow = timers.Start(100, [&](TimerId) { fired.push_back(100); });
    TimerId fast = timers.Start(30, [&](TimerId) { fired.push_back(30); });
    timers.Advance(100);
    EXPECT_EQ(fired, (std::vector<int>{30, 30, 30, 100}));
    timers.Stop(fast);
    EXPECT_FALSE(timers.IsRunning(fast));
    timers.Advance(100);
    EXPECT_EQ(fired.back(), 100);
    EXPECT_EQ(fired.size(), 5u);
    timers.Stop(slow);
    EXPECT_EQ(timers.ActiveCount(), 0u);
}

TEST(TimerService, ProcedureMayStopItselfAndStartAnother) {
    ManualTimerService timers;
    int once = 0, follow = 0;
    timers.Start(10, [&](TimerId self) {
        ++once;
        timers.Stop(self);
        timers.Start(10, [&](TimerId) { ++follow; });
    });
    timers.Advance(35);
    EXPECT_EQ(once, 1);
    EXPECT_EQ(follow, 2);  // due at 20 and 30
}

}  // namespace
