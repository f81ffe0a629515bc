// The option-set menu of a dialog's options button: "&Save..." and "&Remove..." and the names
// of the kind's saved sets. Choosing a name loads that set into the dialog (its client). The
// menu is numbered by position: 1 Save, 2 Remove, 3 the separator, 4 onwards the set names.
// The questions the menu asks (a name to save under, the sets to remove) go through an
// installable prompt object, so the logic runs without a window.
#pragma once

#include "output/optionsets/OptionSets.h"
#include "output/optionsets/SuitcaseClient.h"

#include <string>
#include <vector>

struct OptionSetMenuItem {
    std::string text;    // "" for the separator
    bool enabled = true;
    bool separator = false;
};

// The questions of the option-set menu, installed by the user interface. Without one, every
// question is cancelled.
class OptionSetPrompts {
public:
    virtual ~OptionSetPrompts() = default;
    // Asks for a set name (at most maxLength characters) under the caption; false when
    // cancelled.
    virtual bool AskSetName(const std::string& caption, int maxLength, std::string* name) { return false; }
    // Lets the user pick sets from names under the caption; answers their 1-based positions,
    // empty when cancelled or nothing was chosen.
    virtual std::vector<int> ChooseSets(const std::string& caption, const std::vector<std::string>& names) {
        return {};
    }
};
void SetOptionSetPrompts(OptionSetPrompts* prompts);
OptionSetPrompts& GetOptionSetPrompts();

// What the menu shows for the kind (the names are read from disk; 'VIEW' sets are first made
// from older layout sets when there is none). names receives the set names in menu order.
std::vector<OptionSetMenuItem> BuildOptionSetMenu(OptionSetKind kind, std::vector<std::string>* names);

// Acts on the menu's answer (0 dismissed; positions as above) for the client, with the entry
// ids the client's records are stored under (0 = none):
//  - Save asks for a name (at most 63 characters) and writes the client's records into the set
//    of that name (made or overwritten without asking); a refused name writes nothing.
//  - Remove lets the user pick sets and deletes them.
//  - A name loads that set (entries missing from it come back null, so the client keeps its own)
//    and makes it the client's set name; a set gone from disk changes nothing.
// Answers noErr, userCanceledErr when a question was cancelled, bdNamErr for a refused name.
OSErr ActOnOptionSetMenu(CSuitcaseClient* client, OptionSetKind kind, const SInt16 ids[3], int choice,
                         const std::vector<std::string>& names);

// Lets the user pick sets of the kind (caption: list 141, entry titleIndex) and deletes them.
// userCanceledErr when there is none, or when the question is cancelled or chooses nothing.
OSErr RemoveOptionSets(OptionSetKind kind, SInt16 titleIndex);

// Builds 'VIEW' sets from the older per-pane layout sets when the kind has no set at all.
void CreateDefaultViewOptionSets();
// Makes a 'VIEW' set for every 'LAYn' set that has no 'VIEW' set of its name.
void MigrateLayoutSets(int n);
// A 636-byte view-set entry for pane i, from the 'LAYi' set of that name when it exists, else
// from the preferences record (with the default font at the start of the font block).
Handle BuildViewSetEntry(ConstStr255Param name, int i);
// The face name the default view-set entries carry; the user interface sets the system's.
void SetDefaultViewFontFace(const std::string& ansiFaceName);
