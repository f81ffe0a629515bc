// The loudness of a sound in frequency bands, as the level bars of a playing sound show it:
// the samples are windowed and taken apart into their frequencies, and each band's share is
// given as a level from 0 (silence, or 60 dB or more below full scale) to 255 (a full-scale
// sine wave in that band).
#pragma once

#include <cstddef>
#include <cstdint>

// Samples analysed for one reading: about 46 ms at 44.1 kHz.
inline constexpr std::size_t kSoundLevelWindow = 2048;

// Levels of the bands of the interleaved 16-bit samples (the last kSoundLevelWindow frames of
// them, all channels mixed). Band i is centred on bands[i] Hz (ascending); the boundary between
// two neighbours lies at the geometric mean of their frequencies, the first band reaches down
// to 0 Hz and the last up to half the sample rate. Fewer frames than the window count as
// silence after them; no frames give 0 for every band.
void SoundBandLevels(const std::int16_t* samples, std::size_t frames, int channels, int rate,
                     const double* bands, int bandCount, std::uint8_t* levels);
