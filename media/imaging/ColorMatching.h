// Colour matching for display: pictures that carry an ICC profile (RGB, CMYK or grey) are
// converted into the display's colour space with LittleCMS. The display profile is sRGB unless
// the session installs the monitor's own.
#pragma once

#include "media/kinds/KindEngine.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

// An opened profile or transform (LittleCMS objects).
using IccProfileRef = void*;
using IccTransformRef = void*;

// Installs the display's profile (ICC bytes; null returns to sRGB). The handle stays the
// caller's; its bytes are copied.
OSErr DisplayProfileSet(Handle iccProfile);
// Opens the display's profile; the caller closes it with IccProfileClose. False on failure.
bool DisplayProfileOpen(IccProfileRef* profile);
void IccProfileClose(IccProfileRef profile);
// A transform from the source profile to the display, perceptual intent, 32-bit pixels in and
// out; closed with IccTransformClose. False when none can be made.
bool DisplayTransformNew(IccProfileRef source, IccTransformRef* transform);
void IccTransformClose(IccTransformRef transform);

// Converts a 32-bit world in place from the source profile to the destination profile (each
// the display's when null). With a name wanted and a source given, the source's description
// (at most 30 characters) is returned. 0, or -50 when a profile cannot be used (pixels
// unchanged). The progress procedure is called with (0, 0, 100) before and (2, 100, 100) after.
OSErr IccMatchOffscreen(GWorldPtr world, Handle source, Handle destination, KindProgressProc progress,
                        std::uintptr_t refCon, StringPtr name);
// Converts a CMYK ('cmyk') or grey (8-bit) world through its profile into a new 32-bit world
// of the same bounds. -108 when the world cannot be made, -50 when the profile cannot be used.
OSErr IccConvertToBGRA(GWorldPtr source, Handle profile, GWorldPtr* out, OSType colorSpace, StringPtr name,
                       KindProgressProc progress, std::uintptr_t refCon);
// The profile's description (at most 30 characters in a Str31) and its data colour space;
// either out may be null. False for data that is not a readable profile.
bool IccProfileGetInfo(Handle profile, StringPtr name, OSType* colorSpace);
// The description whole (up to 255 characters). False when there is none.
bool ProfileGetDescription(Handle profile, StringPtr description);
// The profile embedded in a picture file's comments, in a new handle, or null.
Handle PictFileReadProfile(const FSSpec* spec);

// The display-matching call as the kind engine names it: intent 'dply'; `matched` (may be
// null) tells whether the pixels were converted.
OSErr PixMapColorMatch(GWorldPtr world, Handle source, Handle destination, OSType intent, UInt8* matched,
                       KindProgressProc progress, std::uintptr_t refCon);
