// The window messages and clipboard formats that windows of the program (and a second
// instance of it) share by name. Every name is registered once per process; the numbers are
// stable for the life of the process and any module may ask for them.
#pragma once

#include "platform/WindowMessages.h"

// A second instance asks the running one to take over its command line (wParam, lParam 0).
inline constexpr char16_t kNewWindowMessageName[] =
    u"WM_LYREX_NEW_WINDOW_{D47A6385-A362-4ce6-9859-41D7FEE5B927}";
// A view found files in dropped data and posts this to itself to add them (0, 0).
inline constexpr char16_t kImportDataMessageName[] =
    u"LYREX_IMPORTDATA_{1F17EE9C-F8FD-4017-934D-2E7CCC331448}";
// A view tells its frame that a drag of its items began / ended (0, 0; result 1).
inline constexpr char16_t kDragStartedMessageName[] =
    u"LYREX_DRAG_STARTED_{043FB360-9334-4970-9613-D5EC84621F3A}";
inline constexpr char16_t kDragEndedMessageName[] =
    u"LYREX_DRAG_ENDED_{CDFFB7F3-F9CD-4d8a-B73F-0DBD4A76231A}";
// The drop position changed: the low 16 bits of wParam are the 1-based item number before
// which a drop would insert (at most the item count + 1); result 1.
inline constexpr char16_t kDragIdChangedMessageName[] =
    u"LYREX_DRAG_ID_CHG_{836E7A8A-492A-43d4-9BC8-18C699C81DBE}";
// An in-place edit ended (lParam: one of the ComboDoneEnd codes) or was cancelled.
inline constexpr char16_t kComboDoneMessageName[] =
    u"LYREX_COMBO_DONE_{F5A03727-7397-48bf-835D-42E0DB2260D3}";
inline constexpr char16_t kComboCancelMessageName[] =
    u"LYREX_COMBO_CANCEL_{3F75423B-D0D3-4fc8-80D5-F011764D34E2}";
// The save-as command asks its frame to write the catalog; the result is the outcome.
inline constexpr char16_t kStartSaveMessageName[] =
    u"LYREX_START_SAVE_{DAD69B64-EB0B-454a-B2FD-EA300D78604E}";
// The import-option pages store their current settings as the defaults.
inline constexpr char16_t kImportOptionsSetDefaultMessageName[] =
    u"LYREX_IMPOPTS_SETDEF_{874bc167-ab84-41e0-83cc-cee19c29dc14}";

// Clipboard formats of drags inside the process: catalog items from a view, rows from a
// side-panel list.
inline constexpr char16_t kGridClipboardFormatName[] =
    u"LYREX_GRID_{ADCAA45D-89B5-4d9e-8586-506C9BB79CF6}";
inline constexpr char16_t kPanelClipboardFormatName[] =
    u"LYREX_PANEL_{93B6CB73-2994-4a12-982C-28AF9E68CD1D}";

// The name of the single-instance lock that makes a second instance hand over.
inline constexpr char16_t kSingleInstanceMutexName[] =
    u"LYREX_UNIQUEID_{A3A1B36A-195B-496d-AF6C-87F9DBF51055}";

// How an in-place edit ended (lParam of the combo-done message).
enum ComboDoneEnd : LPARAM {
    kComboDoneEnter = 0,   // Enter, or the edit lost the focus
    kComboDoneTab = 1,
    kComboDoneShiftTab = 2,
    kComboDoneCtrlLeft = 3,
    kComboDoneCtrlUp = 4,
    kComboDoneCtrlRight = 5,
    kComboDoneCtrlDown = 6,
};

struct RegisteredMessageIds {
    UINT newWindow;
    UINT importData;
    UINT dragStarted;
    UINT dragEnded;
    UINT dragIdChanged;
    UINT comboDone;
    UINT comboCancel;
    UINT startSave;
    UINT importOptionsSetDefault;
    UINT gridFormat;
    UINT panelFormat;
};

// The numbers, registered on the first call.
const RegisteredMessageIds& RegisteredMessages();
