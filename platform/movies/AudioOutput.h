// Sound out through SDL2: one output per playing medium, fed with interleaved signed 16-bit
// samples from the decoding thread and drained by SDL's own audio thread. It keeps the time of
// the sample being heard, which is the playback clock of a medium with sound. Tests run it
// with SDL's dummy driver (SDL_AUDIODRIVER=dummy), which drains at the real rate.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

class AudioOutput {
public:
    AudioOutput() = default;
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Opens the default output at the rate and channel count (both clamped to what SDL
    // takes); false when there is no sound output, and the medium then plays silently.
    bool Open(int rate, int channels);
    void Close();
    bool IsOpen() const { return device_ != 0; }
    int Rate() const { return rate_; }
    int Channels() const { return channels_; }

    // Appends samples that start at the time (seconds of the medium).
    void Queue(const std::int16_t* samples, std::size_t count, double time);
    // Drops everything queued; the clock restarts at the time.
    void Flush(double time);
    // Seconds of sound waiting.
    double Buffered() const;
    // The time of the next sample to be heard.
    double Clock() const;
    void Pause(bool paused);
    // 0 silence .. 256 full.
    void SetVolume(int volume);

private:
    static void Callback(void* self, std::uint8_t* stream, int length);
    void Fill(std::int16_t* out, std::size_t count);

    std::uint32_t device_ = 0;
    int rate_ = 0, channels_ = 0;
    mutable std::mutex lock_;
    std::deque<std::int16_t> queue_;
    double clock_ = 0;  // time of queue_.front()
    int volume_ = 256;
};
