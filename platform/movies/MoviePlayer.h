// The playback engine under both movie presenters and the sound players: one decoding thread
// per open medium reads and decodes ahead into a small queue of frames and into the sound
// output; the user-interface thread calls Idle (from a timer of the process-wide timer
// service) to take the frame that is due, and hears of new frames and of the end through the
// callbacks, always on that thread. Every call here belongs to the user-interface thread.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"
#include "platform/movies/MovieSource.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct MoviePlayerState;

class MoviePlayer {
public:
    MoviePlayer();
    ~MoviePlayer();  // stops the thread and frees every frame
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    // Opens the medium paused at its start (its first frame is on its way). Errors as
    // MovieSource::Open answers them. Without sound the sound track stays silent.
    OSErr Open(const std::string& path, bool sound = true);
    // The same over bytes in memory, which the caller keeps alive until Close.
    OSErr OpenMemory(const void* bytes, std::size_t size, bool sound = true);
    void Close();
    bool IsOpen() const;
    const MovieFacts& Facts() const;
    bool HasSoundOutput() const;

    // Plays from the current place at the rate (1.0 normal; other rates play without sound).
    void Play(double rate = 1.0);
    void Pause();
    bool IsPlaying() const;
    // True once playing reached the end (cleared by Play, a seek or a step).
    bool AtEnd() const;
    double Rate() const;
    // Shows the frame at the time; the picture arrives through Idle.
    void Seek(double seconds);
    // Paused: the next or previous frame(s).
    void Step(int frames);
    void SetVolume(int volume);  // 0..256
    double CurrentTime() const;  // seconds
    double Duration() const;

    // The levels (0..255) of the sound being heard now in the frequency bands centred on
    // bands[0..count) Hz (see SoundBandLevels); all 0 when nothing is heard (paused, no sound).
    void SoundLevels(const double* bands, int count, std::uint8_t* levels) const;

    // The frame shown now (the player's; valid until the next Idle), null before the first.
    GWorldPtr Frame() const;

    // Takes the frame that is due and notices the end; calls the callbacks.
    void Idle();
    void SetFrameProc(std::function<void()> proc);
    void SetEndProc(std::function<void()> proc);

private:
    OSErr Start(bool sound);
    std::unique_ptr<MoviePlayerState> state_;
};
