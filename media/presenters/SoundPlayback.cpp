#include "media/presenters/SoundPlayback.h"

#include "platform/Handles.h"
#include "platform/movies/MoviePlayer.h"

#include <chrono>
#include <cstring>
#include <thread>

struct SoundTrackPlayer {
    MoviePlayer player;
    SInt16 volume = 256;
    bool started = false;
};

SoundTrackPlayer* SoundTrackPlayerNew(const std::string& path, OSErr* err) {
    auto* p = new SoundTrackPlayer();
    OSErr e = p->player.Open(path);
    if (e == noErr && p->player.Facts().FirstTrack(MovieTrackKind::Sound) < 0) e = kMovieNoSoundTrackErr;
    if (err) *err = e;
    if (e != noErr) {
        delete p;
        return nullptr;
    }
    return p;
}

void SoundTrackPlayerStart(SoundTrackPlayer* p) {
    if (!p) return;
    p->started = true;
    p->player.Play(1.0);
}

void SoundTrackPlayerStop(SoundTrackPlayer* p) {
    if (p) p->player.Pause();
}

bool SoundTrackPlayerIsDone(SoundTrackPlayer* p) {
    return !p || p->player.AtEnd();
}

void SoundTrackPlayerSetVolume(SoundTrackPlayer* p, SInt16 volume) {
    if (!p) return;
    p->volume = volume;
    p->player.SetVolume(volume);
}

void SoundTrackPlayerIdle(SoundTrackPlayer* p) {
    if (p) p->player.Idle();
}

void SoundTrackPlayerDispose(SoundTrackPlayer* p, bool fade) {
    if (!p) return;
    if (fade && p->player.IsPlaying()) {
        for (int v = p->volume; v > 0; v -= 2) {
            p->player.SetVolume(v);
            std::this_thread::sleep_for(std::chrono::microseconds(16667));
        }
        p->player.SetVolume(0);
    }
    p->player.Close();
    delete p;
}

OSType SoundDataKind(const void* bytes, std::size_t size) {
    const auto* b = static_cast<const char*>(bytes);
    if (!b || size < 4) return 0;
    if (std::memcmp(b, "RIFF", 4) == 0) return 'WAVE';
    if (size >= 12 && std::memcmp(b, "FORM", 4) == 0) {
        if (std::memcmp(b + 8, "AIFF", 4) == 0) return 'AIFF';
        if (std::memcmp(b + 8, "AIFC", 4) == 0) return 'AIFC';
    }
    return 0;
}

OSErr SoundFileProbe(Handle sound, SoundProbeProc callback, std::uintptr_t refCon) {
    if (!sound) return paramErr;
    if (callback) callback(0, 0, 0, refCon);
    // The bytes are copied so the caller's handle may move while the sound plays.
    std::string bytes(*sound, std::size_t(GetHandleSize(sound)));
    MoviePlayer player;
    OSErr err = player.OpenMemory(bytes.data(), bytes.size());
    if (err == noErr) {
        player.Play(1.0);
        for (;;) {
            if (callback && callback(1, 0, 0, refCon) != noErr) break;
            player.Idle();
            if (player.AtEnd()) break;
            // One pass per few milliseconds: the sound plays on its own thread meanwhile.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        player.Pause();
        player.Close();
    }
    if (callback) callback(2, 0, 0, refCon);
    return err;
}
