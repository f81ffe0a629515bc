// Band levels of sound: a tone lands in the band its frequency lies in, at the level its
// loudness gives (full scale 255, 20 dB down 170, 60 dB down 0), whatever the channel count or
// the sample rate; silence and no samples read 0.
#include "platform/movies/SoundLevels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

std::vector<std::int16_t> Tone(double hz, double amplitude, int rate, int channels, std::size_t frames) {
    std::vector<std::int16_t> out;
    for (std::size_t i = 0; i < frames; ++i) {
        const double v = amplitude * 32767.0 * std::sin(2 * M_PI * hz * double(i) / rate);
        for (int c = 0; c < channels; ++c) out.push_back(std::int16_t(std::lround(v)));
    }
    return out;
}

TEST(SoundBandLevels, AToneLandsInItsBandAtItsLoudness) {
    const double bands[2] = {400, 800};
    const struct {
        const char* name;
        double hz, amplitude;
        int rate, channels;
        int low, high;      // expected levels, within the tolerance
    } cases[] = {
        {"full-scale 440 Hz", 440, 1.0, 44100, 1, 255, 0},
        {"440 Hz 20 dB down", 440, 0.1, 44100, 1, 170, 0},
        {"440 Hz 40 dB down, stereo", 440, 0.01, 48000, 2, 85, 0},
        {"1000 Hz", 1000, 1.0, 44100, 1, 0, 255},
        {"200 Hz (below the first band's centre)", 200, 0.5, 22050, 1, 229, 0},
        {"3 kHz (above the last band's centre)", 3000, 0.5, 22050, 2, 0, 229},
        {"60 dB down reads empty", 440, 0.001, 44100, 1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto samples = Tone(c.hz, c.amplitude, c.rate, c.channels, 5000);
        std::uint8_t levels[2] = {99, 99};
        SoundBandLevels(samples.data(), 5000, c.channels, c.rate, bands, 2, levels);
        // A quiet band still catches the window's leakage of a loud tone: more than 55 dB down.
        for (int b = 0; b < 2; ++b) {
            const int want = b == 0 ? c.low : c.high;
            if (want == 0) {
                EXPECT_LE(levels[b], 12) << "band " << b;
            } else {
                EXPECT_NEAR(levels[b], want, 4) << "band " << b;
            }
        }
    }
}

TEST(SoundBandLevels, TwoTonesFillTwoBandsAndSilenceFillsNone) {
    const double bands[2] = {400, 800};
    auto a = Tone(300, 0.5, 44100, 1, 4096), b = Tone(1200, 0.05, 44100, 1, 4096);
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = std::int16_t(a[i] + b[i]);
    std::uint8_t levels[2] = {0, 0};
    SoundBandLevels(a.data(), a.size(), 1, 44100, bands, 2, levels);
    EXPECT_NEAR(levels[0], 229, 4);  // -6 dB
    EXPECT_NEAR(levels[1], 144, 4);  // -26 dB
    std::vector<std::int16_t> silence(4096 * 2, 0);
    levels[0] = levels[1] = 7;
    SoundBandLevels(silence.data(), 4096, 2, 44100, bands, 2, levels);
    EXPECT_EQ(levels[0], 0);
    EXPECT_EQ(levels[1], 0);
    levels[0] = levels[1] = 7;
    SoundBandLevels(nullptr, 0, 1, 44100, bands, 2, levels);
    EXPECT_EQ(levels[0], 0);
    EXPECT_EQ(levels[1], 0);
}

// Only the last window of a long stretch counts: a tone that stopped reads as silence.
TEST(SoundBandLevels, TheLatestSamplesCount) {
    const double bands[2] = {400, 800};
    auto samples = Tone(440, 1.0, 44100, 1, 10000);
    samples.insert(samples.end(), kSoundLevelWindow, 0);
    std::uint8_t levels[2] = {0, 0};
    SoundBandLevels(samples.data(), samples.size(), 1, 44100, bands, 2, levels);
    EXPECT_EQ(levels[0], 0);
    // A short stretch (less than a window) still reads its tone.
    auto shortTone = Tone(440, 1.0, 44100, 1, kSoundLevelWindow / 2);
    SoundBandLevels(shortTone.data(), shortTone.size(), 1, 44100, bands, 2, levels);
    EXPECT_GT(levels[0], 200);
}

}  // namespace
