#include "platform/movies/MovieSource.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;

struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

// Reads bytes held in memory for the custom I/O context.
struct MemoryInput {
    const std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    std::size_t position = 0;
};

int MemoryRead(void* opaque, std::uint8_t* buffer, int count) {
    auto* in = static_cast<MemoryInput*>(opaque);
    std::size_t left = in->size - in->position;
    if (left == 0) return AVERROR_EOF;
    std::size_t n = std::min<std::size_t>(left, std::size_t(count));
    std::memcpy(buffer, in->bytes + in->position, n);
    in->position += n;
    return int(n);
}

std::int64_t MemorySeek(void* opaque, std::int64_t offset, int whence) {
    auto* in = static_cast<MemoryInput*>(opaque);
    if (whence & AVSEEK_SIZE) return std::int64_t(in->size);
    std::int64_t base = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = std::int64_t(in->position); break;
    case SEEK_END: base = std::int64_t(in->size); break;
    default: return -1;
    }
    std::int64_t target = base + offset;
    if (target < 0 || target > std::int64_t(in->size)) return -1;
    in->position = std::size_t(target);
    return target;
}

int DepthOf(AVPixelFormat format) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
    if (!d) return 24;
    if (d->flags & AV_PIX_FMT_FLAG_ALPHA) return 32;
    if (d->nb_components == 1 && !(d->flags & AV_PIX_FMT_FLAG_PAL)) return 40;
    return 24;
}

double Seconds(std::int64_t ts, AVRational base) {
    return ts == AV_NOPTS_VALUE ? 0.0 : double(ts) * av_q2d(base);
}

}  // namespace

struct MovieSourceState {
    AVFormatContext* format = nullptr;
    AVIOContext* io = nullptr;
    MemoryInput memory;
    MovieLimits limits;
    Clock::time_point deadline;
    MovieFacts facts;
    int videoIndex = -1;
    int soundIndex = -1;
    bool fresh = true;  // nothing read since the open: the first packets are still the file's first

    // The single-frame decoder of FrameAt.
    AVCodecContext* posterCodec = nullptr;
    SwsContext* scaler = nullptr;

    // Playback decoders.
    AVCodecContext* video = nullptr;
    AVCodecContext* sound = nullptr;
    SwrContext* resampler = nullptr;
    SwsContext* playScaler = nullptr;
    int outRate = 0, outChannels = 0;
    bool draining = false;
    bool videoDone = true, soundDone = true;
    bool failed = false;
    double soundClock = 0;

    void Arm() { deadline = Clock::now() + std::chrono::milliseconds(limits.timeoutMs); }

    static int Interrupt(void* opaque) {
        auto* s = static_cast<MovieSourceState*>(opaque);
        return Clock::now() > s->deadline ? 1 : 0;
    }

    ~MovieSourceState() {
        avcodec_free_context(&posterCodec);
        avcodec_free_context(&video);
        avcodec_free_context(&sound);
        swr_free(&resampler);
        sws_freeContext(scaler);
        sws_freeContext(playScaler);
        if (format) avformat_close_input(&format);
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }
};

int MovieFacts::FirstTrack(MovieTrackKind kind) const {
    for (std::size_t i = 0; i < tracks.size(); ++i)
        if (tracks[i].kind == kind && !tracks[i].attachedPicture) return int(i);
    return -1;
}

MovieSource::MovieSource() = default;
MovieSource::~MovieSource() = default;

void MovieSource::Close() {
    state_.reset();
}

bool MovieSource::IsOpen() const {
    return state_ != nullptr;
}

const MovieFacts& MovieSource::Facts() const {
    static const MovieFacts kNone;
    return state_ ? state_->facts : kNone;
}

namespace {

// FFmpeg's messages about damaged files would only clutter the program's output: the
// results say what happened.
void QuietLibraries() {
    static const bool done = [] {
        av_log_set_level(AV_LOG_QUIET);
        return true;
    }();
    (void)done;
}

}  // namespace

OSErr MovieSource::Open(const std::string& path, const MovieLimits& limits) {
    QuietLibraries();
    Close();
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return fnfErr;
    if (!S_ISREG(st.st_mode)) return kMovieNotFoundErr;
    state_ = std::make_unique<MovieSourceState>();
    state_->limits = limits;
    state_->format = avformat_alloc_context();
    if (!state_->format) {
        state_.reset();
        return memFullErr;
    }
    state_->format->interrupt_callback = {&MovieSourceState::Interrupt, state_.get()};
    state_->format->max_streams = limits.maxStreams;
    state_->Arm();
    if (avformat_open_input(&state_->format, path.c_str(), nullptr, nullptr) < 0) {
        state_->format = nullptr;  // freed by the failed open
        state_.reset();
        return kMovieNotFoundErr;
    }
    return Finish(limits);
}

OSErr MovieSource::OpenMemory(const void* bytes, std::size_t size, const MovieLimits& limits) {
    QuietLibraries();
    Close();
    if (!bytes || size == 0) return paramErr;
    state_ = std::make_unique<MovieSourceState>();
    state_->limits = limits;
    state_->memory = {static_cast<const std::uint8_t*>(bytes), size, 0};
    constexpr int kBuffer = 32768;
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kBuffer));
    state_->format = avformat_alloc_context();
    if (buffer) state_->io = avio_alloc_context(buffer, kBuffer, 0, &state_->memory, MemoryRead, nullptr, MemorySeek);
    if (!state_->format || !state_->io) {
        if (!state_->io) av_free(buffer);
        state_.reset();
        return memFullErr;
    }
    state_->format->pb = state_->io;
    state_->format->flags |= AVFMT_FLAG_CUSTOM_IO;
    state_->format->interrupt_callback = {&MovieSourceState::Interrupt, state_.get()};
    state_->format->max_streams = limits.maxStreams;
    state_->Arm();
    if (avformat_open_input(&state_->format, nullptr, nullptr, nullptr) < 0) {
        state_->format = nullptr;
        state_.reset();
        return kMovieNotFoundErr;
    }
    return Finish(limits);
}

OSErr MovieSource::Finish(const MovieLimits& limits) {
    AVFormatContext* fc = state_->format;
    if (int(fc->nb_streams) > limits.maxStreams) {
        state_.reset();
        return kMovieInvalidErr;
    }
    // Probing decodes a few frames: give every decoder the frame-size limit first.
    std::vector<AVDictionary*> options(fc->nb_streams, nullptr);
    for (auto& o : options) av_dict_set_int(&o, "max_pixels", limits.maxFramePixels, 0);
    int probed = avformat_find_stream_info(fc, fc->nb_streams ? options.data() : nullptr);
    for (auto& o : options) av_dict_free(&o);
    if (probed < 0 || Clock::now() > state_->deadline || int(fc->nb_streams) > limits.maxStreams) {
        state_.reset();
        return kMovieInvalidErr;
    }

    MovieFacts& facts = state_->facts;
    facts.container = fc->iformat && fc->iformat->name ? fc->iformat->name : "";
    facts.durationSeconds = fc->duration != AV_NOPTS_VALUE && fc->duration > 0 ? double(fc->duration) / AV_TIME_BASE : 0;
    const AVDictionaryEntry* tag = nullptr;
    while ((tag = av_dict_get(fc->metadata, "", tag, AV_DICT_IGNORE_SUFFIX)))
        facts.tags.emplace_back(tag->key, tag->value ? tag->value : "");

    for (unsigned i = 0; i < fc->nb_streams; ++i) {
        AVStream* s = fc->streams[i];
        AVCodecParameters* p = s->codecpar;
        MovieTrackFacts t;
        switch (p->codec_type) {
        case AVMEDIA_TYPE_VIDEO: t.kind = MovieTrackKind::Video; break;
        case AVMEDIA_TYPE_AUDIO: t.kind = MovieTrackKind::Sound; break;
        case AVMEDIA_TYPE_SUBTITLE: t.kind = MovieTrackKind::Text; break;
        default: t.kind = MovieTrackKind::Other; break;
        }
        t.codec = avcodec_get_name(p->codec_id);
        if (const AVCodecDescriptor* d = avcodec_descriptor_get(p->codec_id); d && d->long_name) t.codecLongName = d->long_name;
        t.fourcc = p->codec_tag;
        t.attachedPicture = (s->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
        t.sampleCount = s->nb_frames > 0 ? s->nb_frames : 0;
        t.durationSeconds = s->duration != AV_NOPTS_VALUE && s->duration > 0 ? Seconds(s->duration, s->time_base)
                                                                              : facts.durationSeconds;
        int entries = avformat_index_get_entries_count(s);
        std::int64_t bytes = 0;
        for (int e = 0; e < entries; ++e)
            if (const AVIndexEntry* ie = avformat_index_get_entry(s, e)) bytes += ie->size;
        if (bytes == 0 && p->bit_rate > 0 && t.durationSeconds > 0)
            bytes = std::int64_t(double(p->bit_rate) * t.durationSeconds / 8.0);
        t.dataSize = bytes;
        if (t.kind == MovieTrackKind::Video) {
            t.width = p->width;
            t.height = p->height;
            t.depth = DepthOf(AVPixelFormat(p->format));
            if (t.sampleCount > 0 && t.durationSeconds > 0)
                t.frameRate = double(t.sampleCount) / t.durationSeconds;
            else if (s->avg_frame_rate.num > 0 && s->avg_frame_rate.den > 0)
                t.frameRate = av_q2d(s->avg_frame_rate);
            else if (s->r_frame_rate.num > 0 && s->r_frame_rate.den > 0)
                t.frameRate = av_q2d(s->r_frame_rate);
        } else if (t.kind == MovieTrackKind::Sound) {
            t.channels = p->ch_layout.nb_channels;
            t.sampleRate = p->sample_rate;
            int bits = av_get_bits_per_sample(p->codec_id);
            if (bits <= 0) bits = p->bits_per_raw_sample;
            // Compressed sound decodes to 16-bit samples, as the movie toolbox reports it.
            t.sampleBits = bits > 0 ? bits : 16;
        }
        tag = nullptr;
        while ((tag = av_dict_get(s->metadata, "", tag, AV_DICT_IGNORE_SUFFIX)))
            t.tags.emplace_back(tag->key, tag->value ? tag->value : "");
        facts.tracks.push_back(std::move(t));
    }
    for (unsigned c = 0; c < fc->nb_chapters; ++c) {
        const AVChapter* ch = fc->chapters[c];
        MovieChapter m;
        m.start = Seconds(ch->start, ch->time_base);
        m.end = Seconds(ch->end, ch->time_base);
        if (const AVDictionaryEntry* t = av_dict_get(ch->metadata, "title", nullptr, 0)) m.title = t->value;
        facts.chapters.push_back(std::move(m));
    }
    state_->videoIndex = facts.FirstTrack(MovieTrackKind::Video);
    state_->soundIndex = facts.FirstTrack(MovieTrackKind::Sound);
    if (state_->videoIndex < 0 && state_->soundIndex < 0) {
        state_.reset();
        return kMovieNotFoundErr;
    }
    if (state_->videoIndex >= 0) {
        const MovieTrackFacts& v = facts.tracks[std::size_t(state_->videoIndex)];
        if (v.width <= 0 || v.height <= 0 || std::int64_t(v.width) * v.height > limits.maxFramePixels ||
            v.width > kMaxWorldSide || v.height > kMaxWorldSide) {
            // A picture we would refuse to decode: the movie still has its sound and facts.
            state_->videoIndex = -1;
        } else {
            facts.width = v.width;
            facts.height = v.height;
        }
    }
    if (facts.durationSeconds <= 0)
        for (const auto& t : facts.tracks) facts.durationSeconds = std::max(facts.durationSeconds, t.durationSeconds);
    return noErr;
}

namespace {

AVCodecContext* OpenDecoder(AVStream* stream, int threads, std::int64_t maxPixels) {
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) return nullptr;
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    if (!ctx) return nullptr;
    if (avcodec_parameters_to_context(ctx, stream->codecpar) < 0) {
        avcodec_free_context(&ctx);
        return nullptr;
    }
    ctx->pkt_timebase = stream->time_base;
    ctx->thread_count = threads;
    ctx->max_pixels = maxPixels;
    if (avcodec_open2(ctx, codec, nullptr) < 0) avcodec_free_context(&ctx);
    return ctx;
}

// Scales a decoded frame into a new 32-bit world of the size.
OSErr FrameToWorld(const AVFrame* frame, int width, int height, SwsContext** scaler, GWorldPtr* out) {
    if (frame->width <= 0 || frame->height <= 0 || width <= 0 || height <= 0) return kBadMediaDataErr;
    int flags = (width < frame->width || height < frame->height) ? SWS_AREA : SWS_BILINEAR;
    *scaler = sws_getCachedContext(*scaler, frame->width, frame->height, AVPixelFormat(frame->format), width, height,
                                   AV_PIX_FMT_BGRA, flags, nullptr, nullptr, nullptr);
    if (!*scaler) return kBadMediaDataErr;
    Rect bounds{0, 0, SInt16(height), SInt16(width)};
    GWorldPtr world = nullptr;
    OSErr err = NewGWorldFromFormat(&world, k32BGRAPixelFormat, &bounds);
    if (err != noErr) return err;
    LockPixels(world);
    PixelView px = GetGWorldPixels(world);
    std::uint8_t* dst[4] = {px.base, nullptr, nullptr, nullptr};
    int dstStride[4] = {px.rowBytes, 0, 0, 0};
    int rows = sws_scale(*scaler, frame->data, frame->linesize, 0, frame->height, dst, dstStride);
    UnlockPixels(world);
    if (rows <= 0) {
        DisposeGWorld(world);
        return kBadMediaDataErr;
    }
    *out = world;
    return noErr;
}

void FitWithin(int width, int height, int maxSide, int* outW, int* outH) {
    *outW = width;
    *outH = height;
    if (maxSide <= 0 || (width <= maxSide && height <= maxSide)) return;
    if (width >= height) {
        *outW = maxSide;
        *outH = std::max(1, int(std::lround(double(height) * maxSide / width)));
    } else {
        *outH = maxSide;
        *outW = std::max(1, int(std::lround(double(width) * maxSide / height)));
    }
}

}  // namespace

OSErr MovieSource::FrameAt(double seconds, int maxSide, GWorldPtr* out) {
    if (!out) return paramErr;
    *out = nullptr;
    if (!state_) return paramErr;
    MovieSourceState& s = *state_;
    if (s.videoIndex < 0) return kMovieEmptyBoundsErr;
    s.Arm();
    AVStream* stream = s.format->streams[s.videoIndex];
    if (!s.posterCodec) {
        s.posterCodec = OpenDecoder(stream, 1, s.limits.maxFramePixels);
        if (!s.posterCodec) return kNoDecompressorErr;
    } else {
        avcodec_flush_buffers(s.posterCodec);
    }
    double start = stream->start_time != AV_NOPTS_VALUE ? Seconds(stream->start_time, stream->time_base) : 0.0;
    double target = start + std::max(0.0, seconds);
    if (seconds > 0 || !s.fresh) {
        std::int64_t ts = std::int64_t(std::floor(target / av_q2d(stream->time_base)));
        if (av_seek_frame(s.format, s.videoIndex, ts, AVSEEK_FLAG_BACKWARD) < 0)
            av_seek_frame(s.format, s.videoIndex, stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0,
                          AVSEEK_FLAG_BACKWARD);
    }
    s.fresh = false;

    FramePtr frame(av_frame_alloc()), best(av_frame_alloc());
    PacketPtr packet(av_packet_alloc());
    if (!frame || !best || !packet) return memFullErr;
    bool haveBest = false, done = false, flushed = false;
    int decoded = 0, packets = 0;
    // Half a frame of slack, so that a time that falls on a frame picks that frame.
    double slack = 0.5 / (s.facts.tracks[std::size_t(s.videoIndex)].frameRate > 0
                              ? s.facts.tracks[std::size_t(s.videoIndex)].frameRate
                              : 25.0);
    while (!done) {
        int r = avcodec_receive_frame(s.posterCodec, frame.get());
        if (r == 0) {
            ++decoded;
            double t = Seconds(frame->best_effort_timestamp, stream->time_base);
            if (!haveBest || frame->best_effort_timestamp == AV_NOPTS_VALUE || t <= target + slack) {
                av_frame_unref(best.get());
                av_frame_move_ref(best.get(), frame.get());
                haveBest = true;
                if (t + slack >= target) done = true;
            } else {
                done = true;  // the next frame is past the time: the one before is shown then
            }
            av_frame_unref(frame.get());
            if (decoded >= s.limits.maxPosterFrames) done = true;
            continue;
        }
        if (r == AVERROR_EOF) break;
        if (r != AVERROR(EAGAIN)) break;
        if (flushed) break;
        if (Clock::now() > s.deadline || ++packets > s.limits.maxPosterPackets) break;
        int rr = av_read_frame(s.format, packet.get());
        if (rr < 0) {
            avcodec_send_packet(s.posterCodec, nullptr);
            flushed = true;
            continue;
        }
        if (packet->stream_index == s.videoIndex) avcodec_send_packet(s.posterCodec, packet.get());
        av_packet_unref(packet.get());
    }
    if (!haveBest) return kBadMediaDataErr;
    int w = 0, h = 0;
    FitWithin(s.facts.width, s.facts.height, maxSide, &w, &h);
    return FrameToWorld(best.get(), w, h, &s.scaler, out);
}

std::int64_t MovieSource::CountVideoPackets(std::int64_t cap) {
    if (!state_ || state_->videoIndex < 0) return 0;
    MovieSourceState& s = *state_;
    s.Arm();
    if (!s.fresh) av_seek_frame(s.format, -1, 0, AVSEEK_FLAG_BYTE | AVSEEK_FLAG_BACKWARD);
    s.fresh = false;
    PacketPtr packet(av_packet_alloc());
    std::int64_t n = 0;
    while (packet && n < cap && Clock::now() <= s.deadline && av_read_frame(s.format, packet.get()) >= 0) {
        if (packet->stream_index == s.videoIndex) ++n;
        av_packet_unref(packet.get());
    }
    return n;
}

bool MovieSource::UseVideoTrack(int track) {
    if (!state_ || track < 0 || std::size_t(track) >= state_->facts.tracks.size()) return false;
    const MovieTrackFacts& t = state_->facts.tracks[std::size_t(track)];
    if (t.kind != MovieTrackKind::Video || t.width <= 0 || t.height <= 0 ||
        std::int64_t(t.width) * t.height > state_->limits.maxFramePixels || t.width > kMaxWorldSide ||
        t.height > kMaxWorldSide)
        return false;
    if (state_->videoIndex != track) {
        avcodec_free_context(&state_->posterCodec);
        sws_freeContext(state_->scaler);
        state_->scaler = nullptr;
    }
    state_->videoIndex = track;
    state_->facts.width = t.width;
    state_->facts.height = t.height;
    return true;
}

OSErr MovieSource::StartDecoding(int threads, int outRate, int outChannels) {
    if (!state_) return paramErr;
    MovieSourceState& s = *state_;
    avcodec_free_context(&s.video);
    avcodec_free_context(&s.sound);
    swr_free(&s.resampler);
    s.videoDone = s.soundDone = true;
    if (s.videoIndex >= 0) {
        s.video = OpenDecoder(s.format->streams[s.videoIndex], threads, s.limits.maxFramePixels);
        s.videoDone = s.video == nullptr;
    }
    if (s.soundIndex >= 0 && outRate > 0 && outChannels > 0) {
        s.sound = OpenDecoder(s.format->streams[s.soundIndex], 1, s.limits.maxFramePixels);
        if (s.sound) {
            AVChannelLayout outLayout;
            av_channel_layout_default(&outLayout, outChannels);
            AVChannelLayout inLayout;
            if (s.sound->ch_layout.nb_channels > 0) av_channel_layout_copy(&inLayout, &s.sound->ch_layout);
            else av_channel_layout_default(&inLayout, 2);
            if (inLayout.order == AV_CHANNEL_ORDER_UNSPEC) {
                int n = inLayout.nb_channels;
                av_channel_layout_uninit(&inLayout);
                av_channel_layout_default(&inLayout, n);
            }
            int ok = swr_alloc_set_opts2(&s.resampler, &outLayout, AV_SAMPLE_FMT_S16, outRate, &inLayout,
                                         s.sound->sample_fmt, s.sound->sample_rate, 0, nullptr);
            av_channel_layout_uninit(&inLayout);
            av_channel_layout_uninit(&outLayout);
            if (ok < 0 || swr_init(s.resampler) < 0) {
                swr_free(&s.resampler);
                avcodec_free_context(&s.sound);
            }
        }
        s.soundDone = s.sound == nullptr;
    }
    s.outRate = outRate;
    s.outChannels = outChannels;
    s.draining = false;
    s.failed = false;
    if (!s.video && !s.sound) return kNoDecompressorErr;
    return noErr;
}

OSErr MovieSource::Seek(double seconds) {
    if (!state_) return paramErr;
    MovieSourceState& s = *state_;
    s.Arm();
    int index = s.videoIndex >= 0 ? s.videoIndex : s.soundIndex;
    AVStream* stream = s.format->streams[index];
    double start = stream->start_time != AV_NOPTS_VALUE ? Seconds(stream->start_time, stream->time_base) : 0.0;
    std::int64_t ts = std::int64_t(std::floor((start + std::max(0.0, seconds)) / av_q2d(stream->time_base)));
    int r = av_seek_frame(s.format, index, ts, AVSEEK_FLAG_BACKWARD);
    if (r < 0 && seconds <= 0) r = av_seek_frame(s.format, -1, 0, AVSEEK_FLAG_BYTE | AVSEEK_FLAG_BACKWARD);
    s.fresh = false;
    if (s.video) avcodec_flush_buffers(s.video);
    if (s.sound) avcodec_flush_buffers(s.sound);
    if (s.resampler) swr_init(s.resampler);
    s.draining = false;
    s.failed = false;
    s.videoDone = s.video == nullptr;
    s.soundDone = s.sound == nullptr;
    s.soundClock = seconds;
    return r < 0 ? OSErr(kBadMediaDataErr) : OSErr(noErr);
}

OSErr MovieSource::DecodeNext(Decoded* out) {
    if (!out || !state_) return paramErr;
    MovieSourceState& s = *state_;
    *out = Decoded{};
    if (s.failed) return kBadMediaDataErr;
    s.Arm();
    FramePtr frame(av_frame_alloc());
    PacketPtr packet(av_packet_alloc());
    if (!frame || !packet) return memFullErr;
    for (int guard = 0; guard < 100000; ++guard) {
        if (s.video && !s.videoDone) {
            int r = avcodec_receive_frame(s.video, frame.get());
            if (r == 0) {
                AVStream* st = s.format->streams[s.videoIndex];
                out->kind = Decoded::Video;
                out->time = Seconds(frame->best_effort_timestamp, st->time_base) -
                            (st->start_time != AV_NOPTS_VALUE ? Seconds(st->start_time, st->time_base) : 0.0);
                double rate = s.facts.tracks[std::size_t(s.videoIndex)].frameRate;
                out->duration = frame->pkt_duration > 0 ? Seconds(frame->pkt_duration, st->time_base)
                                                    : (rate > 0 ? 1.0 / rate : 0.04);
                return FrameToWorld(frame.get(), s.facts.width, s.facts.height, &s.playScaler, &out->picture);
            }
            if (r == AVERROR_EOF) s.videoDone = true;
            else if (r != AVERROR(EAGAIN)) s.videoDone = true;
        }
        if (s.sound && !s.soundDone) {
            int r = avcodec_receive_frame(s.sound, frame.get());
            if (r == 0) {
                AVStream* st = s.format->streams[s.soundIndex];
                int maxOut = swr_get_out_samples(s.resampler, frame->nb_samples);
                if (maxOut < 0 || maxOut > 48000 * 60) {
                    s.failed = true;
                    return kBadMediaDataErr;
                }
                out->samples.resize(std::size_t(maxOut) * std::size_t(s.outChannels));
                std::uint8_t* dst[1] = {reinterpret_cast<std::uint8_t*>(out->samples.data())};
                int n = swr_convert(s.resampler, dst, maxOut, const_cast<const std::uint8_t**>(frame->extended_data),
                                    frame->nb_samples);
                if (n < 0) {
                    s.failed = true;
                    return kBadMediaDataErr;
                }
                out->samples.resize(std::size_t(n) * std::size_t(s.outChannels));
                if (frame->best_effort_timestamp != AV_NOPTS_VALUE)
                    s.soundClock = Seconds(frame->best_effort_timestamp, st->time_base) -
                                   (st->start_time != AV_NOPTS_VALUE ? Seconds(st->start_time, st->time_base) : 0.0);
                out->kind = Decoded::Sound;
                out->time = s.soundClock;
                out->duration = double(n) / s.outRate;
                s.soundClock += out->duration;
                return noErr;
            }
            if (r == AVERROR_EOF) s.soundDone = true;
            else if (r != AVERROR(EAGAIN)) s.soundDone = true;
        }
        if ((!s.video || s.videoDone) && (!s.sound || s.soundDone)) {
            out->kind = Decoded::End;
            return noErr;
        }
        if (s.draining) {
            // Both decoders were flushed and still answer "again": nothing more will come.
            out->kind = Decoded::End;
            return noErr;
        }
        if (Clock::now() > s.deadline) {
            s.failed = true;
            return kBadMediaDataErr;
        }
        int rr = av_read_frame(s.format, packet.get());
        if (rr < 0) {
            if (s.video) avcodec_send_packet(s.video, nullptr);
            if (s.sound) avcodec_send_packet(s.sound, nullptr);
            s.draining = true;
            continue;
        }
        if (s.video && packet->stream_index == s.videoIndex) avcodec_send_packet(s.video, packet.get());
        else if (s.sound && packet->stream_index == s.soundIndex) avcodec_send_packet(s.sound, packet.get());
        av_packet_unref(packet.get());
    }
    s.failed = true;
    return kBadMediaDataErr;
}

OSErr MovieReadFacts(const std::string& path, MovieFacts* facts) {
    if (!facts) return paramErr;
    MovieSource source;
    OSErr err = source.Open(path);
    if (err == noErr) *facts = source.Facts();
    return err;
}
