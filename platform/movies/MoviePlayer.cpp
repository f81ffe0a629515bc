#include "platform/movies/MoviePlayer.h"

#include "platform/movies/AudioOutput.h"
#include "platform/movies/SoundLevels.h"

#include <algorithm>
#include <cmath>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct QueuedFrame {
    GWorldPtr picture = nullptr;
    double time = 0, duration = 0;
};

void Dispose(QueuedFrame& f) {
    if (f.picture) DisposeGWorld(f.picture);
    f.picture = nullptr;
}

constexpr std::size_t kAheadFrames = 8;        // decoded frames kept ready
constexpr std::size_t kMostFrames = 48;         // while sound still needs packets
constexpr double kAheadSound = 1.0;             // seconds of sound kept ready
constexpr double kMostSound = 5.0;              // beyond this, sound is dropped rather than kept
constexpr int kMostFramesPerSeek = 1200;        // decoded between a key frame and the seek time
constexpr double kKeptForLevels = kMostSound + 1.0;  // seconds of queued sound kept for the level bars

}  // namespace

struct MoviePlayerState {
    MovieSource source;
    MovieFacts facts;
    AudioOutput audio;
    bool soundOut = false;
    bool hasVideo = false;
    bool decoding = false;
    std::thread worker;

    std::mutex lock;
    std::condition_variable wake;
    // Shared with the worker (under lock).
    std::deque<QueuedFrame> queue;
    bool quit = false;
    bool eof = false;
    bool seekPending = false;
    double seekTarget = 0;
    bool seekDone = false;
    QueuedFrame seekResult;
    bool keepSound = true;  // false while playing at another rate than 1

    // The sound handed to the output, kept for the level bars (under levelLock): interleaved
    // samples at the output's rate and channels, the first of them due at heardStart seconds.
    mutable std::mutex levelLock;
    std::deque<std::int16_t> heard;
    double heardStart = 0;

    void KeepHeard(const std::int16_t* samples, std::size_t count, double time) {
        const int channels = std::max(audio.Channels(), 1);
        const double rate = std::max(audio.Rate(), 1);
        std::lock_guard<std::mutex> g(levelLock);
        // A block that does not follow on (after a seek) starts the record afresh.
        const double end = heardStart + double(heard.size() / std::size_t(channels)) / rate;
        if (heard.empty() || std::fabs(time - end) > 0.05) {
            heard.clear();
            heardStart = time;
        }
        heard.insert(heard.end(), samples, samples + count);
        const std::size_t most = std::size_t(kKeptForLevels * rate) * std::size_t(channels);
        if (heard.size() > most) {
            const std::size_t drop = (heard.size() - most) / std::size_t(channels) * std::size_t(channels);
            heard.erase(heard.begin(), heard.begin() + std::ptrdiff_t(drop));
            heardStart += double(drop / std::size_t(channels)) / rate;
        }
    }

    // User-interface side only.
    QueuedFrame current;
    double position = 0;  // seconds, while not playing
    bool playing = false;
    bool atEnd = false;
    bool seekOutstanding = false;
    double rate = 1.0;
    double basePosition = 0;
    Clock::time_point baseWall;
    int pendingSteps = 0;
    std::function<void()> frameProc, endProc;

    bool NeedMore() const {
        if (!decoding || eof) return false;
        double sound = soundOut ? audio.Buffered() : kAheadSound;
        if (hasVideo && queue.size() < kAheadFrames) return true;
        return soundOut && keepSound && sound < kAheadSound && queue.size() < kMostFrames;
    }

    // keep: keepSound as read under the lock.
    void TakeSound(MovieSource::Decoded& d, double notBefore, bool keep) {
        if (!soundOut || !keep || d.samples.empty() || audio.Buffered() > kMostSound) return;
        std::size_t skip = 0;
        int channels = audio.Channels();
        if (d.time < notBefore) {
            skip = std::size_t((notBefore - d.time) * audio.Rate()) * std::size_t(channels);
            if (skip >= d.samples.size()) return;
        }
        audio.Queue(d.samples.data() + skip, d.samples.size() - skip, std::max(d.time, notBefore));
        KeepHeard(d.samples.data() + skip, d.samples.size() - skip, std::max(d.time, notBefore));
    }

    void Run() {
        std::unique_lock<std::mutex> l(lock);
        for (;;) {
            wake.wait_for(l, std::chrono::milliseconds(20), [&] { return quit || seekPending || NeedMore(); });
            if (quit) return;
            if (seekPending) {
                double target = seekTarget;
                bool keep = keepSound;
                seekPending = false;
                for (QueuedFrame& f : queue) Dispose(f);
                queue.clear();
                eof = false;
                l.unlock();
                if (soundOut) audio.Flush(target);
                bool ended = !decoding;
                QueuedFrame before, after;
                if (decoding) {
                    source.Seek(target);
                    for (int n = 0; n < kMostFramesPerSeek; ++n) {
                        MovieSource::Decoded d;
                        if (source.DecodeNext(&d) != noErr || d.kind == MovieSource::Decoded::End) {
                            ended = true;
                            break;
                        }
                        if (d.kind == MovieSource::Decoded::Sound) {
                            TakeSound(d, target, keep);
                            if (!hasVideo && d.time + d.duration > target) break;
                            continue;
                        }
                        QueuedFrame f{d.picture, d.time, d.duration};
                        if (f.time <= target + 1e-6) {
                            Dispose(before);
                            before = f;
                            continue;
                        }
                        after = f;
                        break;
                    }
                }
                l.lock();
                if (seekPending || quit) {
                    Dispose(before);
                    Dispose(after);
                    continue;
                }
                Dispose(seekResult);
                if (before.picture) {
                    seekResult = before;
                    if (after.picture) queue.push_back(after);
                } else {
                    seekResult = after;
                }
                eof = ended;
                seekDone = true;
                continue;
            }
            l.unlock();
            MovieSource::Decoded d;
            OSErr err = source.DecodeNext(&d);
            l.lock();
            if (seekPending || quit) {
                if (d.picture) DisposeGWorld(d.picture);
                continue;
            }
            if (err != noErr || d.kind == MovieSource::Decoded::End) {
                eof = true;
                continue;
            }
            if (d.kind == MovieSource::Decoded::Video) queue.push_back({d.picture, d.time, d.duration});
            else if (d.kind == MovieSource::Decoded::Sound) TakeSound(d, 0, keepSound);
        }
    }

    double Now() const {
        if (!playing) return position;
        double elapsed = std::chrono::duration<double>(Clock::now() - baseWall).count();
        return basePosition + elapsed * rate;
    }
};

MoviePlayer::MoviePlayer() = default;

MoviePlayer::~MoviePlayer() {
    Close();
}

OSErr MoviePlayer::Open(const std::string& path, bool sound) {
    Close();
    state_ = std::make_unique<MoviePlayerState>();
    if (OSErr err = state_->source.Open(path); err != noErr) {
        state_.reset();
        return err;
    }
    return Start(sound);
}

OSErr MoviePlayer::OpenMemory(const void* bytes, std::size_t size, bool sound) {
    Close();
    state_ = std::make_unique<MoviePlayerState>();
    if (OSErr err = state_->source.OpenMemory(bytes, size); err != noErr) {
        state_.reset();
        return err;
    }
    return Start(sound);
}

OSErr MoviePlayer::Start(bool sound) {
    MoviePlayerState& s = *state_;
    s.facts = s.source.Facts();
    s.hasVideo = s.facts.HasPicture();
    int track = s.facts.FirstTrack(MovieTrackKind::Sound);
    if (sound && track >= 0) {
        const MovieTrackFacts& t = s.facts.tracks[std::size_t(track)];
        s.soundOut = s.audio.Open(t.sampleRate > 0 ? t.sampleRate : 44100, std::min(std::max(t.channels, 1), 2));
    }
    s.decoding = s.source.StartDecoding(2, s.soundOut ? s.audio.Rate() : 0, s.soundOut ? s.audio.Channels() : 0) == noErr;
    if (!s.hasVideo && !s.decoding) s.soundOut = false;
    if (s.soundOut) s.audio.Pause(true);
    s.seekPending = true;  // the first frame
    s.seekTarget = 0;
    s.seekOutstanding = true;
    s.worker = std::thread([st = state_.get()] { st->Run(); });
    return noErr;
}

void MoviePlayer::Close() {
    if (!state_) return;
    MoviePlayerState& s = *state_;
    {
        std::lock_guard<std::mutex> g(s.lock);
        s.quit = true;
    }
    s.wake.notify_all();
    if (s.worker.joinable()) s.worker.join();
    s.audio.Close();
    for (QueuedFrame& f : s.queue) Dispose(f);
    Dispose(s.seekResult);
    Dispose(s.current);
    state_.reset();
}

bool MoviePlayer::IsOpen() const {
    return state_ != nullptr;
}

const MovieFacts& MoviePlayer::Facts() const {
    static const MovieFacts kNone;
    return state_ ? state_->facts : kNone;
}

bool MoviePlayer::HasSoundOutput() const {
    return state_ && state_->soundOut;
}

void MoviePlayer::Play(double rate) {
    if (!state_ || rate <= 0) return;
    MoviePlayerState& s = *state_;
    bool keep = rate == 1.0;
    double at = s.Now();
    if (s.atEnd) at = s.position;
    s.atEnd = false;
    s.pendingSteps = 0;
    s.position = at;
    s.rate = rate;
    s.playing = true;
    s.basePosition = at;
    s.baseWall = Clock::now();
    bool resync = false;
    {
        std::lock_guard<std::mutex> g(s.lock);
        resync = s.keepSound != keep && s.soundOut;
        s.keepSound = keep;
    }
    // Sound comes back at normal rate: the queued sound no longer matches the picture.
    if (resync && keep) Seek(at);
    if (s.soundOut) s.audio.Pause(!keep);
    s.wake.notify_all();
}

void MoviePlayer::Pause() {
    if (!state_ || !state_->playing) return;
    MoviePlayerState& s = *state_;
    s.position = std::min(s.Now(), s.facts.durationSeconds);
    s.playing = false;
    if (s.soundOut) s.audio.Pause(true);
}

bool MoviePlayer::IsPlaying() const {
    return state_ && state_->playing;
}

bool MoviePlayer::AtEnd() const {
    return state_ && state_->atEnd;
}

double MoviePlayer::Rate() const {
    return state_ ? state_->rate : 0;
}

void MoviePlayer::Seek(double seconds) {
    if (!state_) return;
    MoviePlayerState& s = *state_;
    seconds = std::clamp(seconds, 0.0, std::max(0.0, s.facts.durationSeconds));
    s.atEnd = false;
    s.pendingSteps = 0;
    s.position = seconds;
    s.basePosition = seconds;
    s.baseWall = Clock::now();
    s.seekOutstanding = true;
    {
        std::lock_guard<std::mutex> g(s.lock);
        s.seekPending = true;
        s.seekTarget = seconds;
        s.seekDone = false;
    }
    s.wake.notify_all();
}

void MoviePlayer::Step(int frames) {
    if (!state_ || frames == 0) return;
    MoviePlayerState& s = *state_;
    Pause();
    s.atEnd = false;
    if (frames > 0) {
        s.pendingSteps += frames;
        Idle();
        return;
    }
    int v = s.facts.FirstTrack(MovieTrackKind::Video);
    double rate = v >= 0 && s.facts.tracks[std::size_t(v)].frameRate > 0 ? s.facts.tracks[std::size_t(v)].frameRate : 10.0;
    double from = s.current.picture ? s.current.time : s.position;
    Seek(std::max(0.0, from + double(frames) / rate + 0.25 / rate));
}

void MoviePlayer::SetVolume(int volume) {
    if (state_) state_->audio.SetVolume(volume);
}

double MoviePlayer::CurrentTime() const {
    if (!state_) return 0;
    return std::clamp(state_->Now(), 0.0, std::max(0.0, state_->facts.durationSeconds));
}

double MoviePlayer::Duration() const {
    return state_ ? state_->facts.durationSeconds : 0;
}

GWorldPtr MoviePlayer::Frame() const {
    return state_ ? state_->current.picture : nullptr;
}

void MoviePlayer::SetFrameProc(std::function<void()> proc) {
    if (state_) state_->frameProc = std::move(proc);
}

void MoviePlayer::SetEndProc(std::function<void()> proc) {
    if (state_) state_->endProc = std::move(proc);
}

void MoviePlayer::Idle() {
    if (!state_) return;
    MoviePlayerState& s = *state_;
    bool shown = false, ended = false;
    {
        std::lock_guard<std::mutex> g(s.lock);
        if (s.seekDone) {
            s.seekDone = false;
            s.seekOutstanding = false;
            if (s.seekResult.picture) {
                Dispose(s.current);
                s.current = s.seekResult;
                s.seekResult = {};
                shown = true;
            }
            s.basePosition = s.position;
            s.baseWall = Clock::now();
        }
        if (!s.seekOutstanding) {
            if (s.playing) {
                // With sound at the normal rate the sound output keeps the time.
                if (s.soundOut && s.keepSound && s.audio.Buffered() > 0) {
                    s.basePosition = s.audio.Clock();
                    s.baseWall = Clock::now();
                }
                double now = s.Now();
                while (!s.queue.empty() && s.queue.front().time <= now + 0.005) {
                    Dispose(s.current);
                    s.current = s.queue.front();
                    s.queue.pop_front();
                    shown = true;
                }
                bool soundLeft = s.soundOut && s.keepSound && s.audio.Buffered() > 0;
                bool done = s.decoding ? (s.eof && s.queue.empty() && !soundLeft) : now >= s.facts.durationSeconds;
                if (done) {
                    s.playing = false;
                    s.atEnd = true;
                    s.position = s.facts.durationSeconds;
                    ended = true;
                }
            } else {
                while (s.pendingSteps > 0 && !s.queue.empty()) {
                    Dispose(s.current);
                    s.current = s.queue.front();
                    s.queue.pop_front();
                    s.position = s.current.time;
                    --s.pendingSteps;
                    shown = true;
                }
                if (s.pendingSteps > 0 && s.eof) s.pendingSteps = 0;
            }
        }
    }
    if (ended && s.soundOut) s.audio.Pause(true);
    s.wake.notify_all();
    if (shown && s.frameProc) s.frameProc();
    if (ended && s.endProc) s.endProc();
}

void MoviePlayer::SoundLevels(const double* bands, int count, std::uint8_t* levels) const {
    if (!levels || count <= 0) return;
    std::fill(levels, levels + count, std::uint8_t(0));
    if (!state_ || !state_->playing || !state_->soundOut || state_->rate != 1.0) return;
    const MoviePlayerState& s = *state_;
    const int channels = std::max(s.audio.Channels(), 1);
    const int rate = std::max(s.audio.Rate(), 1);
    const double now = s.Now();
    std::vector<std::int16_t> window;
    {
        std::lock_guard<std::mutex> g(s.levelLock);
        // The window of samples that ends at the moment being heard.
        const double frames = (now - s.heardStart) * rate;
        if (frames <= 0) return;
        const std::size_t available = s.heard.size() / std::size_t(channels);
        const std::size_t end = std::min(available, std::size_t(frames));
        const std::size_t begin = end > kSoundLevelWindow ? end - kSoundLevelWindow : 0;
        window.assign(s.heard.begin() + std::ptrdiff_t(begin * std::size_t(channels)),
                      s.heard.begin() + std::ptrdiff_t(end * std::size_t(channels)));
    }
    SoundBandLevels(window.data(), window.size() / std::size_t(channels), channels, rate, bands, count, levels);
}
