// The one process-wide preferences record: read from the per-user settings once at start-up,
// repaired where its values are out of range, changed in place while the program runs and
// written back whole at exit.
#pragma once

#include "foundation/settings/PreferencesRec.h"

// The record. Before LoadPreferences it holds the built-in defaults.
PreferencesRec* GetPreferences();
// Reads the stored value "Preferences" into the record (at most 5,864 bytes; a shorter value
// fills only its bytes; a missing, unreadable or longer one leaves the record as it was),
// then repairs it with ValidatePreferences.
void LoadPreferences();
// Writes the whole record as the value "Preferences"; false when it could not be stored.
bool SavePreferences();
// The load rules, in their order: the whole record back to the defaults when the thumbnail
// size level is outside 1..20; the byte rules; the name list; the slide-show bytes; and a
// fresh default window rectangle centred on the primary screen.
void ValidatePreferences();
// Back to the state at process start (the defaults; the Settings.txt switches off).
void ResetPreferencesState();

// True when the size limit is off, the limit is 0, or byteCount is within it.
bool IsWithinSizeLimit(SInt32 byteCount);
// The gallery image level when it is 1..9; otherwise stores 1 and answers 1.
SInt32 ClampPreference1to9();
