#include "platform/movies/AudioOutput.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

namespace {

// SDL's audio subsystem is started once for the process and left running: starting and
// stopping it per medium would cost a device probe each time.
std::mutex gInitLock;
bool gInitTried = false;
bool gInitOk = false;

bool StartAudio() {
    std::lock_guard<std::mutex> guard(gInitLock);
    if (!gInitTried) {
        gInitTried = true;
        gInitOk = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    return gInitOk;
}

}  // namespace

AudioOutput::~AudioOutput() {
    Close();
}

bool AudioOutput::Open(int rate, int channels) {
    Close();
    if (!StartAudio()) return false;
    SDL_AudioSpec want{}, have{};
    want.freq = std::clamp(rate, 8000, 192000);
    want.format = AUDIO_S16SYS;
    want.channels = Uint8(std::clamp(channels, 1, 2));
    want.samples = 1024;
    want.callback = &AudioOutput::Callback;
    want.userdata = this;
    SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0) return false;
    device_ = id;
    rate_ = have.freq;
    channels_ = have.channels;
    return true;
}

void AudioOutput::Close() {
    if (device_) {
        SDL_CloseAudioDevice(device_);  // waits for the callback to finish
        device_ = 0;
    }
    std::lock_guard<std::mutex> guard(lock_);
    queue_.clear();
}

void AudioOutput::Queue(const std::int16_t* samples, std::size_t count, double time) {
    std::lock_guard<std::mutex> guard(lock_);
    if (queue_.empty()) clock_ = time;
    queue_.insert(queue_.end(), samples, samples + count);
}

void AudioOutput::Flush(double time) {
    std::lock_guard<std::mutex> guard(lock_);
    queue_.clear();
    clock_ = time;
}

double AudioOutput::Buffered() const {
    std::lock_guard<std::mutex> guard(lock_);
    if (!rate_ || !channels_) return 0;
    return double(queue_.size()) / (double(rate_) * channels_);
}

double AudioOutput::Clock() const {
    std::lock_guard<std::mutex> guard(lock_);
    return clock_;
}

void AudioOutput::Pause(bool paused) {
    if (device_) SDL_PauseAudioDevice(device_, paused ? 1 : 0);
}

void AudioOutput::SetVolume(int volume) {
    std::lock_guard<std::mutex> guard(lock_);
    volume_ = std::clamp(volume, 0, 256);
}

void AudioOutput::Callback(void* self, std::uint8_t* stream, int length) {
    static_cast<AudioOutput*>(self)->Fill(reinterpret_cast<std::int16_t*>(stream), std::size_t(length) / 2);
}

void AudioOutput::Fill(std::int16_t* out, std::size_t count) {
    std::lock_guard<std::mutex> guard(lock_);
    std::size_t n = std::min(count, queue_.size());
    for (std::size_t i = 0; i < n; ++i) out[i] = std::int16_t((int(queue_[i]) * volume_) / 256);
    if (n < count) std::memset(out + n, 0, (count - n) * sizeof(std::int16_t));
    queue_.erase(queue_.begin(), queue_.begin() + long(n));
    if (rate_ && channels_) clock_ += double(n) / (double(rate_) * channels_);
}
