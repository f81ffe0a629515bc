// How the small edit controls end an edit: the done message (with its end code) or the cancel
// message, registered by name and sent at once to the receiving window as a window-message
// event. A guard keeps a control from ending twice (the focus leaving while the receiver tears
// the editor down would otherwise end it again).
#pragma once

#include <wx/window.h>

class EditEndSender {
public:
    // False (nothing sent) while an end of this control is being handled.
    bool SendDone(wxWindow* receiver, long code);
    bool SendCancel(wxWindow* receiver);
    bool Ending() const { return ending_; }

private:
    bool Send(wxWindow* receiver, unsigned message, long code);
    bool ending_ = false;
};
