// The items of the three label menus, without a window: the assign-label menu (kind 0: "Remove
// Label [0]", the greyed heading "Assign Label:", then labels 1 to 9), the label filter menu
// (kind 1: "Any Label", "No Label", a separator, the greyed heading "Labelled As:", labels 1 to
// 9) and the Open With menu (kind 2: the default application, then up to 16 helper
// applications, then "Define Helper Applications..."). Label items show the label's name and
// number and carry its colour; helper items carry the helper's position.
#pragma once

#include "app/helpers/HelperApplications.h"
#include "platform/MacTypes.h"

#include <string>
#include <vector>

enum : int {
    kLabelMenuAssign = 0,
    kLabelMenuFilter = 1,
    kLabelMenuOpenWith = 2,
};

// Command ids of the label items.
inline constexpr int kFirstAssignLabelCommand = 32890;   // label 1; 32898 label 9
inline constexpr int kRemoveLabelCommand = 32937;
inline constexpr int kAssignLabelHeading = 32938;
inline constexpr int kAnyLabelCommand = 33001;
inline constexpr int kNoLabelCommand = 33002;
inline constexpr int kLabelledAsHeading = 33003;
inline constexpr int kFirstShowLabelCommand = 33004;     // label 1; 33012 label 9
inline constexpr int kOpenDefaultCommand = 32888;
inline constexpr int kDefineHelpersCommand = 33015;

struct LabelMenuItem {
    enum Kind { kPlain, kSeparator, kLabel, kHelper } kind = kPlain;
    int id = 0;
    std::string text;         // UTF-8, with "&" mnemonics where the menu has them
    bool enabled = true;
    int label = 0;            // kLabel: 1..9
    RGBColor color{0, 0, 0};  // kLabel: the label's colour
    int helper = -1;          // kHelper: position in the helper list
};

// The label (1..9) a label command stands for; 0 for any other id.
int LabelOfCommand(int id);
// "name [n]" for label n (the name may be empty).
std::string LabelItemText(int label);
// The items of one kind of menu; helpers for kind 2 (at most the first 16 get items).
std::vector<LabelMenuItem> BuildLabelMenuItems(int kind, const HelperList& helpers);
