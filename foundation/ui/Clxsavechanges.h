// The alert box: every warning, question and error the program puts before the user. Callers
// pass no text, only a message of list 130, up to three button labels of list 129, an error
// code and up to four substitution texts; the box answers which button closed it (1, 2, 3).
// Its geometry follows its own rules (AlertLayout.h), not the sizers of other dialogs.
#pragma once

#include "foundation/ui/AlertText.h"

#include <wx/dialog.h>

class wxButton;
class wxStaticBitmap;
class wxStaticText;

enum AlertIcon : short { kAlertStop = 0, kAlertInformation = 1, kAlertWarning = 2, kAlertQuestion = 3 };

enum : int {
    kAlertButton1Id = 1006,  // the default button
    kAlertButton3Id = 1010,
    kAlertMessageId = 1012,
    kAlertIconId = 1072,
    kAlertDetailId = 1237,
};

class Clxsavechanges : public wxDialog {
public:
    Clxsavechanges(wxWindow* parent, short iconKind, const AlertTexts& texts);

    // Runs the box; 1, 2 or 3.
    short Run();

    wxButton* Button(int slot) const { return buttons_[size_t(slot - 1)]; }  // slot 1..3
    wxStaticText* MessageStatic() const { return message_; }
    wxStaticText* DetailStatic() const { return detail_; }
    // The message and button texts the box was made with.
    const AlertTexts& Texts() const { return texts_; }

private:
    void BuildControls(short iconKind);
    void LayOut();
    int GrowToFit(wxStaticText* text);
    void BindEvents();
    void OnButton(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnCharHook(wxKeyEvent& event);

    AlertTexts texts_;
    wxStaticBitmap* icon_ = nullptr;
    wxStaticText* message_ = nullptr;
    wxStaticText* detail_ = nullptr;
    std::array<wxButton*, 3> buttons_{};
};

// Shows the alert with the program's main window as parent; answers 1, 2 or 3.
short ShowAlert(short iconKind, short messageIndex, long errorCode, short button1, short button2,
                short button3, ConstStr255Param text0 = nullptr, ConstStr255Param text1 = nullptr,
                ConstStr255Param text2 = nullptr, ConstStr255Param text3 = nullptr);
short ShowAlertSimple(short iconKind, short messageIndex, long errorCode, short button1, short button2,
                      short button3);
// The HTML export's outcome: codes 3, 4, 5 and 1 show messages 26 to 29 with "OK"; others nothing.
void ShowHtmlExportResultAlert(short resultCode);
