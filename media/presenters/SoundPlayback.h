// Playing sounds: the sound-track player that plays the sound of a movie file for the movie
// presenter, and playing sound data held in a handle to its end with a callback between passes
// (the slide show's background sound, voice annotations).
#pragma once

#include "platform/MacTypes.h"

#include <cstdint>
#include <string>

struct SoundTrackPlayer;

// A player of the file's first sound track, not started. -2009 when the file has no sound
// track, the movie layer's error when it is no movie; null then.
SoundTrackPlayer* SoundTrackPlayerNew(const std::string& path, OSErr* err);
void SoundTrackPlayerStart(SoundTrackPlayer* player);
void SoundTrackPlayerStop(SoundTrackPlayer* player);
// True once the sound has played to its end (and for no player).
bool SoundTrackPlayerIsDone(SoundTrackPlayer* player);
// 0 silence .. 256 full.
void SoundTrackPlayerSetVolume(SoundTrackPlayer* player, SInt16 volume);
void SoundTrackPlayerIdle(SoundTrackPlayer* player);
// With fade and while playing, the volume goes down in steps of 2, one tick apart, first.
void SoundTrackPlayerDispose(SoundTrackPlayer* player, bool fade);

// The callback of SoundFileProbe: phase 0 before, 1 between passes while playing (non-zero
// stops), 2 after.
using SoundProbeProc = OSErr (*)(SInt32 phase, SInt32 a, SInt32 b, std::uintptr_t refCon);
// Plays the sound in the handle (WAVE, AIFF, AIFF-C, or any sound FFmpeg reads) to its end.
// -50 for a null handle; the movie layer's error for data that is no sound.
OSErr SoundFileProbe(Handle sound, SoundProbeProc callback, std::uintptr_t refCon);
// The importer a sound's first bytes select: 'WAVE', 'AIFF', 'AIFC', or 0 for other data.
OSType SoundDataKind(const void* bytes, std::size_t size);
