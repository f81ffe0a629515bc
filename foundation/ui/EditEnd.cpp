#include "foundation/ui/EditEnd.h"

#include "foundation/messages/RegisteredMessages.h"
#include "platform/ui/WindowMessageEvent.h"

bool EditEndSender::SendDone(wxWindow* receiver, long code) {
    return Send(receiver, RegisteredMessages().comboDone, code);
}

bool EditEndSender::SendCancel(wxWindow* receiver) { return Send(receiver, RegisteredMessages().comboCancel, 0); }

bool EditEndSender::Send(wxWindow* receiver, unsigned message, long code) {
    if (ending_ || !receiver) return false;
    ending_ = true;
    WindowMessageEvent event(message, 0, code);
    event.SetEventObject(receiver);
    receiver->GetEventHandler()->SafelyProcessEvent(event);
    ending_ = false;
    return true;
}
