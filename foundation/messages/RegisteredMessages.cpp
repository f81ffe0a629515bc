#include "foundation/messages/RegisteredMessages.h"

namespace {

RegisteredMessageIds RegisterAll() {
    RegisteredMessageIds ids;
    ids.newWindow = RegisterWindowMessageW(kNewWindowMessageName);
    ids.importData = RegisterWindowMessageW(kImportDataMessageName);
    ids.dragStarted = RegisterWindowMessageW(kDragStartedMessageName);
    ids.dragEnded = RegisterWindowMessageW(kDragEndedMessageName);
    ids.dragIdChanged = RegisterWindowMessageW(kDragIdChangedMessageName);
    ids.comboDone = RegisterWindowMessageW(kComboDoneMessageName);
    ids.comboCancel = RegisterWindowMessageW(kComboCancelMessageName);
    ids.startSave = RegisterWindowMessageW(kStartSaveMessageName);
    ids.importOptionsSetDefault = RegisterWindowMessageW(kImportOptionsSetDefaultMessageName);
    ids.gridFormat = RegisterClipboardFormatW(kGridClipboardFormatName);
    ids.panelFormat = RegisterClipboardFormatW(kPanelClipboardFormatName);
    return ids;
}

}  // namespace

const RegisteredMessageIds& RegisteredMessages() {
    static const RegisteredMessageIds ids = RegisterAll();
    return ids;
}
