// The decisions a catalog window makes when it closes and when a catalog is opened, kept apart
// from the windows so that every case can be checked without a display.
#pragma once

#include <cstddef>
#include <functional>

// How a frame closes.
enum CloseMode : int {
    kCloseSaving = 0,      // save without asking
    kCloseDiscarding = 1,  // close without saving
    kCloseAsking = 2,      // ask about unsaved changes
};

// The answers of the "Save changes to '^0' before closing?" alert (buttons Save, Cancel,
// Don't Save).
enum SaveQuestionAnswer : int { kAnswerSave = 1, kAnswerCancel = 2, kAnswerDontSave = 3 };

struct CloseFacts {
    int mode = kCloseAsking;
    bool modified = false;
    long items = 0;            // visible plus hidden items
    bool hasFile = false;      // the catalog was saved before
    std::size_t frames = 1;    // frames open, this one included
    bool closeKeepsLast = false;
};

struct CloseOutcome {
    enum Action { kClose, kStayWithNewCatalog, kStay };
    Action action = kClose;
    int result = 1;            // 1 closed or continuing, 2 cancelled
    bool asked = false;
    bool saveTried = false;
};

// ask shows the question and answers a SaveQuestionAnswer; save saves (a Save As for a catalog
// without a file) and answers true only when the catalog was really written. A failed or
// cancelled save keeps the frame open, as a cancel does. A modified catalog is asked about when
// it holds items or has a file; an untitled catalog without items has nothing to lose.
CloseOutcome DecideClose(const CloseFacts& facts, const std::function<int()>& ask, const std::function<bool()>& save);

// Where a catalog file goes when the user opens it.
enum class OpenPlace {
    kShowExistingFrame,  // a frame already shows it: bring that frame forward
    kNothing,            // the file does not exist
    kThisFrame,          // this frame holds an untitled catalog without items
    kNewFrame,           // a new frame, destroyed again when the catalog cannot be loaded
};
OpenPlace DecideOpenPlace(bool shownInAFrame, bool fileExists, bool thisFrameUntitled, long thisFrameItems);
