// Movies and sounds read through FFmpeg: the facts of a file (tracks, codecs, sizes, rates,
// chapters, tags), one video frame at a chosen time into a 32-bit offscreen, and packet by
// packet decoding for playback. Every file is untrusted: an open is bounded in time, in the
// number of streams and in frame size, so a damaged or hostile file gives an error code and
// never a hang or an unbounded allocation.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Result codes of the movie layer (the movie toolbox's own numbers).
enum : OSErr {
    kMovieInvalidErr = -2010,       // not a movie, or a movie that cannot be used
    kMovieNoSoundTrackErr = -2009,  // a sound was asked of a movie without one
    kMovieEmptyBoundsErr = -2054,   // a picture was asked of a movie without one
    kMovieNotFoundErr = -2048,      // no movie in the file
};

// Bounds on the work done for one file.
struct MovieLimits {
    int maxStreams = 64;
    std::int64_t maxFramePixels = 40'000'000;  // larger frames are refused before decoding
    int timeoutMs = 8000;                      // for the whole open, probe and poster decode
    int maxPosterFrames = 6;                   // frames decoded after the seek for one picture
    int maxPosterPackets = 600;                // packets read while looking for them
};

enum class MovieTrackKind { Video, Sound, Text, Other };

struct MovieTrackFacts {
    MovieTrackKind kind = MovieTrackKind::Other;
    std::string codec;         // FFmpeg's short codec name ("h264", "pcm_s16le")
    std::string codecLongName;
    std::uint32_t fourcc = 0;  // the codec tag stored in the file, 0 when none
    int width = 0, height = 0;
    int depth = 0;             // 24, 32 with alpha, 40 for grey (as movie descriptions count)
    std::int64_t sampleCount = 0;
    double durationSeconds = 0;
    std::int64_t dataSize = 0;  // bytes of the track's samples, 0 when unknown
    double frameRate = 0;       // frames per second
    int channels = 0, sampleRate = 0, sampleBits = 0;
    bool attachedPicture = false;  // cover art, not a moving picture
    std::vector<std::pair<std::string, std::string>> tags;
};

struct MovieChapter {
    double start = 0, end = 0;
    std::string title;
};

struct MovieFacts {
    std::string container;  // FFmpeg's format name ("mov,mp4,m4a,3gp,3g2,mj2", "avi")
    double durationSeconds = 0;
    int width = 0, height = 0;  // natural size: the first video track's; 0 without picture
    std::vector<MovieTrackFacts> tracks;
    std::vector<MovieChapter> chapters;
    std::vector<std::pair<std::string, std::string>> tags;
    bool HasPicture() const { return width > 0 && height > 0; }
    int FirstTrack(MovieTrackKind kind) const;
};

struct MovieSourceState;

// One open movie file or block of movie bytes.
class MovieSource {
public:
    MovieSource();
    ~MovieSource();
    MovieSource(const MovieSource&) = delete;
    MovieSource& operator=(const MovieSource&) = delete;

    // -43 for a missing file, kMovieNotFoundErr when nothing in it is a movie or a sound,
    // kMovieInvalidErr for a damaged one or one beyond the limits.
    OSErr Open(const std::string& path, const MovieLimits& limits = {});
    // The same over bytes in memory (kept alive by the caller while the source is open).
    OSErr OpenMemory(const void* bytes, std::size_t size, const MovieLimits& limits = {});
    void Close();
    bool IsOpen() const;
    const MovieFacts& Facts() const;

    // The video frame shown at the time (seconds), scaled to fit within maxSide x maxSide
    // (never enlarged; 0 for the natural size), as a new 32-bit world. Seeks to the key frame
    // at or before the time and decodes at most the limit's frames from there.
    // kMovieEmptyBoundsErr without a picture, kBadMediaDataErr when no frame decodes.
    OSErr FrameAt(double seconds, int maxSide, GWorldPtr* out);

    // Makes the track (an index into Facts().tracks, which follow the file's track order) the
    // picture that FrameAt and the decoding read, instead of the first video track; the facts'
    // natural size becomes its size. Before StartDecoding. false, with nothing changed, for a
    // track that is no picture or one beyond the frame-size limit.
    bool UseVideoTrack(int track);

    // Packets of the first video track, counted from the start up to the cap (frames of an
    // animation whose header does not count them).
    std::int64_t CountVideoPackets(std::int64_t cap);

    // Playback decoding. Opens the decoders of the first video and first sound tracks
    // (threads: 0 lets FFmpeg choose). Sound comes out as interleaved signed 16-bit samples
    // at the rate and channel count asked.
    OSErr StartDecoding(int threads, int outRate, int outChannels);
    // Seeks both decoders to the key frame at or before the time.
    OSErr Seek(double seconds);
    struct Decoded {
        enum Kind { None, Video, Sound, End } kind = None;
        double time = 0;      // presentation time in seconds
        double duration = 0;  // of the frame or the sound block
        GWorldPtr picture = nullptr;          // Video: a natural-size 32-bit world, the caller's
        std::vector<std::int16_t> samples;   // Sound: interleaved
    };
    // Reads packets until a frame or a block of sound is decoded, or the end. An error other
    // than the end stops the decoding for good (kBadMediaDataErr).
    OSErr DecodeNext(Decoded* out);

private:
    OSErr Finish(const MovieLimits& limits);
    std::unique_ptr<MovieSourceState> state_;
};

// The facts of a file in one call.
OSErr MovieReadFacts(const std::string& path, MovieFacts* facts);
