// What the three conversion dialogs hold and do, without their windows: the two records loaded
// from the typed settings when a dialog opens, the chosen format found in its list, the summary
// of size and resolution, the comparison the option-set button relies on, and what "Convert..."
// stores before the run starts.
#pragma once

#include "output/convert/ConvertOptions.h"
#include "platform/MacTypes.h"

#include <string>

struct ConvertDialogState {
    ConvertMediaKind kind = ConvertMediaKind::Image;
    ConvertOptionsRec options{};
    ExporterSettings settings;
    SInt32 position = 0;            // 1-based in the kind's format list; 0 for an empty list
    bool selectedOnly = false;
    bool replaceOriginals = false;
};

// The state a dialog opens with: the stored records (the kind's defaults in their place), byte
// 8 set, the stored format found by its code first and its position second, the settings of
// that format (its defaults when none are stored for it) and the two shared preference bytes
// ("selected items only" only when the view has a current item).
ConvertDialogState LoadConvertDialogState(ConvertMediaKind kind, bool hasCurrentItem);
// Chooses another format of the list: its code and the settings stored for it, else its defaults.
void ChooseConvertFormat(ConvertDialogState* state, SInt32 position);
// "Convert...": the position and code into the record, both records into the typed settings,
// and the two preference bytes (0 or all ones).
void SaveConvertDialogState(const ConvertDialogState& state);

// The option-set client's three operations over the state.
void ConvertStateGetSettings(const ConvertDialogState& state, Handle* options, Handle* settings);
// Takes the records of a set (null keeps the state's own); the format follows the record.
void ConvertStateSetSettings(ConvertDialogState* state, Handle options, Handle settings);
// Compares the position, code, bytes 8, 11 and 12, the size block (mode, and the box when
// scaling) and the resolution block (mode, and the dpi when custom), then the settings.
bool ConvertStateDiffers(const ConvertDialogState& state, Handle options, Handle settings);

// "Scale to fit: WxH\n" or "Use natural bounds\n", then "Resolution: N dpi\n" or "Use natural
// resolution\n" (string list 149).
std::string ImageSizeSummary(const ConvertOptionsRec& options);
