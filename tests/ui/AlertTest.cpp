// The alert box: texts built from lists 129 and 130 with their placeholders and error codes,
// the button row's geometry, the statics' growth, and what the box answers for each way of
// closing it.
#include "foundation/ui/AlertLayout.h"
#include "foundation/ui/AlertText.h"
#include "foundation/ui/Clxsavechanges.h"
#include "support/PascalString.h"
#include "ui/WxTestSupport.h"

#include <algorithm>
#include <cstring>

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/stattext.h>

namespace {

std::string Detail(const AlertTexts& t) {
    std::string head, detail;
    SplitAlertMessage(t.message, &head, &detail);
    return detail;
}
std::string Head(const AlertTexts& t) {
    std::string head, detail;
    SplitAlertMessage(t.message, &head, &detail);
    return head;
}

}  // namespace

TEST(AlertTextTest, AnErrorCodeBecomesTheDetailLine) {
    AlertTexts t = BuildAlertTexts(34, -43, 1, 0, 0, {});
    EXPECT_EQ("The command couldn't be completed, because an error occurred while reading the catalog.", Head(t));
    EXPECT_EQ("[-43]", Detail(t));
    EXPECT_EQ("OK", t.buttons[0]);
    EXPECT_EQ("", t.buttons[1]);
}

TEST(AlertTextTest, CodeFiveHundredAppendsTextThreeToTheMessageItself) {
    PStr255 name("disk full");
    AlertTexts withBreak = BuildAlertTexts(78, 500, 1, 0, 0, {nullptr, nullptr, nullptr, name.s});
    EXPECT_EQ("^0", Head(withBreak));  // no text 0: the placeholder stays visible
    EXPECT_EQ(" disk full", Detail(withBreak));
    AlertTexts oneLine = BuildAlertTexts(43, 500, 1, 0, 0, {nullptr, nullptr, nullptr, name.s});
    EXPECT_EQ("There are no missing files in this catalog.disk full", Head(oneLine));
    EXPECT_EQ("", Detail(oneLine));
}

TEST(AlertTextTest, PlaceholdersTakeTheirTextsEverywhereAndInsertedTextIsNeverRescanned) {
    PStr255 a("first"), b("second");
    AlertTexts t = BuildAlertTexts(79, 0, 1, 0, 0, {a.s, b.s, nullptr, nullptr});
    EXPECT_EQ("first", Head(t));
    EXPECT_EQ("second", Detail(t));
    // A file name that holds a placeholder shows as it is.
    PStr255 odd("photo ^1 (copy).jpg");
    AlertTexts named = BuildAlertTexts(74, 0, 10, 2, 0, {odd.s, b.s, nullptr, nullptr});
    EXPECT_EQ("File 'photo ^1 (copy).jpg' already exists in the destination folder 'second'.", Detail(named));
    EXPECT_EQ("&Replace", named.buttons[0]);
    EXPECT_EQ("Cancel", named.buttons[1]);
    // Windows-1252 texts arrive as the characters they are.
    PStr255 accented("caf\xE9");
    EXPECT_EQ("Remove group 'caf\xC3\xA9'?", Head(BuildAlertTexts(15, 0, 8, 2, 0, {accented.s, nullptr, nullptr, nullptr})));
}

TEST(AlertTextTest, EveryMessageAndButtonOfTheListsHasAText) {
    for (short i = 1; i <= 99; ++i) {
        if (i == 78 || i == 79) continue;  // pure placeholders
        AlertTexts t = BuildAlertTexts(i, 0, 1, 0, 0, {});
        EXPECT_FALSE(t.message.empty()) << "message " << i;
    }
    for (short i = 1; i <= 33; ++i) EXPECT_FALSE(BuildAlertTexts(1, 0, i, 0, 0, {}).buttons[0].empty()) << i;
}

TEST(AlertLayoutTest, OneButtonIsCentred) {
    AlertButtonRow row = LayoutAlertButtons(376, 130, 1.0, {20, 0, 0}, {true, false, false});
    EXPECT_TRUE(row.shown[0]);
    EXPECT_FALSE(row.shown[1]);
    EXPECT_FALSE(row.shown[2]);
    EXPECT_EQ(80, row.width[0]);
    EXPECT_EQ((376 - 80) / 2, row.left[0]);
    EXPECT_EQ(130 - 10 - 24, row.top);
    EXPECT_EQ(24, row.height);
}

TEST(AlertLayoutTest, ButtonsRunOneThreeTwoFromTheLeft) {
    AlertButtonRow row = LayoutAlertButtons(376, 130, 1.5, {30, 40, 90}, {true, true, true});
    EXPECT_EQ(80, row.width[0]);
    EXPECT_EQ(102, row.width[2]);
    const int free = 376 - 10 - 10 - 80 - 80 - 102;
    EXPECT_EQ(free / 2, row.left[0]);
    EXPECT_EQ(row.left[0] + 80 + 10, row.left[2]);
    EXPECT_EQ(row.left[2] + 102 + 10, row.left[1]);
    EXPECT_EQ(int(120 - 36.0), row.top);
}

TEST(AlertLayoutTest, LabelsTooLongForTheBoxShareItInThirds) {
    AlertButtonRow row = LayoutAlertButtons(376, 130, 1.0, {400, 400, 400}, {true, true, true});
    const int w = (376 - 40) / 3;
    EXPECT_EQ(10, row.left[0]);
    EXPECT_EQ(w, row.width[0]);
    EXPECT_EQ(w, row.width[1]);
    EXPECT_EQ(10 + w + 10, row.left[2]);
    EXPECT_EQ(10 + w + 10 + w + 10, row.left[1]);
}

TEST(AlertLayoutTest, AStaticGrowsByTheLinesItsTextNeeds) {
    struct Case { int text, line, w, h, grow; } cases[] = {
        {90, 13, 100, 20, 0},     // one line fits
        {150, 13, 100, 20, 1},    // two lines: (13 + 4) * 1 + 4 = 21
        {250, 13, 100, 20, 18},   // three lines: 38
        {300, 13, 100, 20, 18},   // exactly three lines
        {250, 13, 100, 60, 0},    // tall enough already
    };
    for (const auto& c : cases) EXPECT_EQ(c.grow, AlertStaticGrowth(c.text, c.line, c.w, c.h)) << c.text;
}

class AlertBoxTest : public WxTest {
protected:
    // Runs ShowAlert and, once the box is up, acts on it.
    short ShowAnd(std::function<void(Clxsavechanges*)> act, short b1, short b2, short b3, short message = 4) {
        WhenModal([act] {
            for (wxWindow* w : wxTopLevelWindows) {
                if (auto* box = dynamic_cast<Clxsavechanges*>(w)) {
                    act(box);
                    return;
                }
            }
        });
        return ShowAlertSimple(kAlertWarning, message, 0, b1, b2, b3);
    }
    static void Click(wxButton* button) {
        wxCommandEvent click(wxEVT_BUTTON, button->GetId());
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    }
    static void Key(wxWindow* window, int code) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = code;
        key.SetEventObject(window);
        window->GetEventHandler()->ProcessEvent(key);
    }
};

TEST_F(AlertBoxTest, EachButtonAnswersItsNumber) {
    EXPECT_EQ(1, ShowAnd([](Clxsavechanges* b) { Click(b->Button(1)); }, 3, 2, 4));
    EXPECT_EQ(2, ShowAnd([](Clxsavechanges* b) { Click(b->Button(2)); }, 3, 2, 4));
    EXPECT_EQ(3, ShowAnd([](Clxsavechanges* b) { Click(b->Button(3)); }, 3, 2, 4));
}

TEST_F(AlertBoxTest, EscapeAnswersTwoEvenWithOneButton) {
    EXPECT_EQ(2, ShowAnd([](Clxsavechanges* b) { Key(b, WXK_ESCAPE); }, 1, 0, 0));
}

TEST_F(AlertBoxTest, ButtonsStandOneThreeTwoAndEmptyOnesAreHidden) {
    std::array<int, 3> lefts{};
    std::array<bool, 3> shown{};
    std::array<wxString, 3> labels;
    ShowAnd([&](Clxsavechanges* b) {
                for (int i = 1; i <= 3; ++i) {
                    lefts[size_t(i - 1)] = b->Button(i)->GetPosition().x;
                    shown[size_t(i - 1)] = b->Button(i)->IsShown();
                    labels[size_t(i - 1)] = b->Button(i)->GetLabel();
                }
                Click(b->Button(1));
            },
            3, 2, 4);
    EXPECT_EQ("&Save", labels[0]);
    EXPECT_EQ("Cancel", labels[1]);
    EXPECT_EQ("&Don't Save", labels[2]);
    EXPECT_LT(lefts[0], lefts[2]);
    EXPECT_LT(lefts[2], lefts[1]);
    ShowAnd([&](Clxsavechanges* b) {
                for (int i = 1; i <= 3; ++i) shown[size_t(i - 1)] = b->Button(i)->IsShown();
                Click(b->Button(1));
            },
            1, 0, 0);
    EXPECT_TRUE(shown[0]);
    EXPECT_FALSE(shown[1]);
    EXPECT_FALSE(shown[2]);
}

TEST_F(AlertBoxTest, AMessageWithoutDetailHidesTheDetailAndShrinksTheBox) {
    int withDetail = 0, without = 0;
    bool detailShown = true;
    ShowAnd([&](Clxsavechanges* b) { withDetail = b->GetClientSize().y; Click(b->Button(1)); }, 1, 0, 0, 4);
    ShowAnd([&](Clxsavechanges* b) {
                without = b->GetClientSize().y;
                detailShown = b->DetailStatic()->IsShown();
                Click(b->Button(1));
            },
            1, 0, 0, 43);
    EXPECT_FALSE(detailShown);
    EXPECT_LT(without, withDetail);
}

TEST_F(AlertBoxTest, ALongMessageAndDetailShowEveryLineAboveTheButtons) {
    // A long folder name in the message: it wraps over several lines at word breaks.
    std::string folder = "/home/someone/Pictures";
    for (int i = 0; i < 8; ++i) folder += " and a rather long folder name " + std::to_string(i);
    Str255 text0;
    text0[0] = UInt8(std::min<std::size_t>(folder.size(), 255));
    std::memcpy(text0 + 1, folder.data(), text0[0]);
    struct Box {
        wxRect message, detail, button;
        int messageNeeds = 0, detailNeeds = 0, messageLines = 0;
    } box;
    WhenModal([&] {
        for (wxWindow* w : wxTopLevelWindows) {
            if (auto* b = dynamic_cast<Clxsavechanges*>(w)) {
                auto needs = [](wxStaticText* t) {
                    wxClientDC dc(t);
                    dc.SetFont(t->GetFont());
                    return dc.GetMultiLineTextExtent(t->GetLabel()).y;
                };
                box.message = b->MessageStatic()->GetRect();
                box.detail = b->DetailStatic()->GetRect();
                box.button = b->Button(1)->GetRect();
                box.messageNeeds = needs(b->MessageStatic());
                box.detailNeeds = needs(b->DetailStatic());
                box.messageLines = int(b->MessageStatic()->GetLabel().Freq('\n')) + 1;
                Click(b->Button(1));
                return;
            }
        }
    });
    ShowAlert(kAlertQuestion, 1, 0, 1, 2, 0, text0);
    EXPECT_GE(box.messageLines, 3);
    EXPECT_GE(box.message.height, box.messageNeeds);
    EXPECT_GE(box.detail.height, box.detailNeeds);
    EXPECT_GE(box.detail.y, box.message.GetBottom());
    EXPECT_GE(box.button.y, box.detail.GetBottom());
}
