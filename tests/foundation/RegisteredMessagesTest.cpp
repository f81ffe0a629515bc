#include "foundation/messages/RegisteredMessages.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class FrameStandIn : public MessageWindow {
public:
    int dragDisplay = 0;
    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override {
        // A receiver compares with the number it registered itself.
        static const UINT started = RegisterWindowMessageW(kDragStartedMessageName);
        static const UINT ended = RegisterWindowMessageW(kDragEndedMessageName);
        if (message == started) {
            dragDisplay = 1;
            return 1;
        }
        if (message == ended) {
            dragDisplay = 0;
            return 1;
        }
        return 0;
    }
};

TEST(RegisteredMessages, EveryNameHasItsOwnStableNumber) {
    const RegisteredMessageIds& ids = RegisteredMessages();
    const UINT all[] = {ids.newWindow,  ids.importData,  ids.dragStarted, ids.dragEnded,
                        ids.dragIdChanged, ids.comboDone, ids.comboCancel, ids.startSave,
                        ids.importOptionsSetDefault, ids.gridFormat, ids.panelFormat};
    std::set<UINT> distinct(std::begin(all), std::end(all));
    EXPECT_EQ(distinct.size(), std::size(all));
    for (UINT id : all) {
        EXPECT_GE(id, UINT(kFirstRegisteredMessage));
        EXPECT_LE(id, UINT(kLastRegisteredMessage));
    }
    EXPECT_EQ(&RegisteredMessages(), &ids);
    EXPECT_EQ(RegisterWindowMessageW(kStartSaveMessageName), ids.startSave);
    EXPECT_EQ(RegisterClipboardFormatW(kPanelClipboardFormatName), ids.panelFormat);
}

TEST(RegisteredMessages, ASenderAndAReceiverThatRegisteredApartUnderstandEachOther) {
    FrameStandIn frame;
    EXPECT_EQ(SendMessageW(&frame, RegisteredMessages().dragStarted, 0, 0), 1);
    EXPECT_EQ(frame.dragDisplay, 1);
    EXPECT_EQ(SendMessageW(&frame, RegisteredMessages().dragEnded, 0, 0), 1);
    EXPECT_EQ(frame.dragDisplay, 0);
    EXPECT_EQ(SendMessageW(&frame, RegisteredMessages().comboDone, 0, kComboDoneTab), 0);
}

}  // namespace
