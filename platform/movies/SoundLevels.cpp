#include "platform/movies/SoundLevels.h"

extern "C" {
#include <libavutil/mem.h>
#include <libavutil/tx.h>
}

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The dB below full scale that reads as an empty bar.
constexpr double kFloorDb = 60.0;

}  // namespace

void SoundBandLevels(const std::int16_t* samples, std::size_t frames, int channels, int rate, const double* bands,
                     int bandCount, std::uint8_t* levels) {
    if (!levels || bandCount <= 0) return;
    std::fill(levels, levels + bandCount, std::uint8_t(0));
    if (!samples || frames == 0 || channels <= 0 || rate <= 0 || !bands) return;
    constexpr std::size_t n = kSoundLevelWindow;
    const std::size_t used = std::min(frames, n);
    const std::int16_t* first = samples + (frames - used) * std::size_t(channels);

    // Hann window over the mono mix; the window's power keeps the levels independent of it.
    // The transform's SIMD code wants its buffers aligned as av_malloc aligns them.
    struct AvFree {
        void operator()(void* p) const { av_free(p); }
    };
    std::unique_ptr<AVComplexFloat[], AvFree> in(static_cast<AVComplexFloat*>(av_mallocz(n * sizeof(AVComplexFloat))));
    std::unique_ptr<AVComplexFloat[], AvFree> out(static_cast<AVComplexFloat*>(av_mallocz(n * sizeof(AVComplexFloat))));
    if (!in || !out) return;
    double windowPower = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(n));
        windowPower += w * w;
        if (i >= used) continue;
        double sum = 0;
        for (int c = 0; c < channels; ++c) sum += first[i * std::size_t(channels) + std::size_t(c)];
        in[i].re = float(w * sum / channels);
    }
    AVTXContext* tx = nullptr;
    av_tx_fn fft = nullptr;
    float scale = 1.0f;
    if (av_tx_init(&tx, &fft, AV_TX_FLOAT_FFT, 0, int(n), &scale, 0) < 0 || !tx) return;
    fft(tx, out.get(), in.get(), sizeof(AVComplexFloat));
    av_tx_uninit(&tx);

    // Mean square of each band's part of the signal (Parseval over the positive frequencies),
    // against that of a full-scale sine (32768^2 / 2).
    const double binHz = double(rate) / double(n);
    const double reference = 32768.0 * 32768.0 / 2.0;
    for (int b = 0; b < bandCount; ++b) {
        const double low = b == 0 ? 0.0 : std::sqrt(bands[b - 1] * bands[b]);
        const double high = b == bandCount - 1 ? rate / 2.0 : std::sqrt(bands[b] * bands[b + 1]);
        double power = 0;
        for (std::size_t k = 1; k < n / 2; ++k) {
            const double f = double(k) * binHz;
            if (f < low || f >= high) continue;
            power += double(out[k].re) * out[k].re + double(out[k].im) * out[k].im;
        }
        const double meanSquare = 2.0 * power / (double(n) * windowPower);
        if (meanSquare <= 0) continue;
        const double db = 10.0 * std::log10(meanSquare / reference);
        const double level = std::clamp((db + kFloorDb) / kFloorDb, 0.0, 1.0) * 255.0;
        levels[b] = std::uint8_t(std::lround(level));
    }
}
