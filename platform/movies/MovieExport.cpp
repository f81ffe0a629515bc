#include "platform/movies/MovieExport.h"

#include "platform/movies/MovieSource.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <climits>
#include <memory>

namespace {

constexpr int kMaxStreams = 64;
constexpr std::int64_t kMaxFramePixels = 40'000'000;

struct FrameFree { void operator()(AVFrame* f) const { av_frame_free(&f); } };
struct PacketFree { void operator()(AVPacket* p) const { av_packet_free(&p); } };
struct CodecFree { void operator()(AVCodecContext* c) const { avcodec_free_context(&c); } };
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFree>;

// The encoder of a list the settings name, else the first this FFmpeg has.
const AVCodec* PickEncoder(const std::string& wanted, const std::vector<std::string>& list) {
    if (!wanted.empty() && std::find(list.begin(), list.end(), wanted) != list.end())
        if (const AVCodec* c = avcodec_find_encoder_by_name(wanted.c_str())) return c;
    const std::string first = FirstAvailableEncoder(list);
    return first.empty() ? nullptr : avcodec_find_encoder_by_name(first.c_str());
}

struct Track {
    int in = -1;          // the source's stream index
    AVStream* out = nullptr;
    CodecPtr dec, enc;
};

class Export {
public:
    ~Export() {
        if (sws_) sws_freeContext(sws_);
        if (swr_) swr_free(&swr_);
        if (fifo_) av_audio_fifo_free(fifo_);
        if (oc_) {
            if (oc_->pb) avio_closep(&oc_->pb);
            avformat_free_context(oc_);
        }
        if (ic_) avformat_close_input(&ic_);
    }

    OSErr Run(const std::string& source, const std::string& dest, const MovieExportComponentInfo& format,
              const MovieExportSettingsRec& s, bool soundOnly, const MovieExportProgress& progress) {
        progress_ = progress;
        // The muxers' warnings (a temporary file's name has no extension) are not the user's.
        if (av_log_get_level() > AV_LOG_ERROR) av_log_set_level(AV_LOG_ERROR);
        if (avformat_open_input(&ic_, source.c_str(), nullptr, nullptr) < 0) return kMovieInvalidErr;
        if (ic_->nb_streams > unsigned(kMaxStreams) || avformat_find_stream_info(ic_, nullptr) < 0)
            return kMovieInvalidErr;
        duration_ = ic_->duration > 0 ? double(ic_->duration) / AV_TIME_BASE : 0;
        const int a = av_find_best_stream(ic_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        const int v = soundOnly || format.videoCodecs.empty()
                          ? -1 : av_find_best_stream(ic_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (soundOnly && a < 0) return kMovieNoSoundTrackErr;
        if (a < 0 && v < 0) return kMovieInvalidErr;
        if (v >= 0 && (ic_->streams[v]->disposition & AV_DISPOSITION_ATTACHED_PIC)) return kMovieInvalidErr;
        if (avformat_alloc_output_context2(&oc_, nullptr, format.muxer, dest.c_str()) < 0 || !oc_) return ioErr;
        if (v >= 0) {
            OSErr err = OpenVideo(v, format, s);
            if (err != noErr) return err;
        }
        if (a >= 0) {
            OSErr err = OpenAudio(a, format, s);
            if (err != noErr) return err;
        }
        // The source's descriptive tags (title, artist, comments) go with the new file.
        av_dict_copy(&oc_->metadata, ic_->metadata, 0);
        if (avio_open(&oc_->pb, dest.c_str(), AVIO_FLAG_WRITE) < 0) return ioErr;
        if (avformat_write_header(oc_, nullptr) < 0) return ioErr;
        OSErr err = Pump();
        if (err != noErr) return err;
        if (av_write_trailer(oc_) < 0) return ioErr;
        if (avio_closep(&oc_->pb) < 0) return ioErr;
        progress_(1.0);
        return noErr;
    }

private:
    OSErr OpenDecoder(Track& t, int index) {
        AVStream* st = ic_->streams[index];
        const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
        if (!codec) return kMovieInvalidErr;
        t.in = index;
        t.dec.reset(avcodec_alloc_context3(codec));
        if (!t.dec || avcodec_parameters_to_context(t.dec.get(), st->codecpar) < 0) return kMovieInvalidErr;
        t.dec->pkt_timebase = st->time_base;
        if (avcodec_open2(t.dec.get(), codec, nullptr) < 0) return kMovieInvalidErr;
        return noErr;
    }

    OSErr FinishEncoder(Track& t, const AVCodec* codec) {
        if (oc_->oformat->flags & AVFMT_GLOBALHEADER) t.enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(t.enc.get(), codec, nullptr) < 0) return ioErr;
        t.out = avformat_new_stream(oc_, nullptr);
        if (!t.out || avcodec_parameters_from_context(t.out->codecpar, t.enc.get()) < 0) return ioErr;
        t.out->time_base = t.enc->time_base;
        av_dict_copy(&t.out->metadata, ic_->streams[t.in]->metadata, 0);
        return noErr;
    }

    OSErr OpenVideo(int index, const MovieExportComponentInfo& format, const MovieExportSettingsRec& s) {
        OSErr err = OpenDecoder(video_, index);
        if (err != noErr) return err;
        AVCodecContext* d = video_.dec.get();
        if (d->width <= 0 || d->height <= 0 || std::int64_t(d->width) * d->height > kMaxFramePixels)
            return kMovieInvalidErr;
        const AVCodec* codec = PickEncoder(s.videoCodec, format.videoCodecs);
        if (!codec) return ioErr;
        video_.enc.reset(avcodec_alloc_context3(codec));
        AVCodecContext* e = video_.enc.get();
        if (!e) return memFullErr;
        // 4:2:0 encoders need even sizes.
        e->width = std::max(2, (s.width > 0 ? s.width : d->width) & ~1);
        e->height = std::max(2, (s.height > 0 ? s.height : d->height) & ~1);
        if (std::int64_t(e->width) * e->height > kMaxFramePixels) return paramErr;
        e->sample_aspect_ratio = d->sample_aspect_ratio;
        e->pix_fmt = AV_PIX_FMT_YUV420P;
        if (codec->pix_fmts) {
            e->pix_fmt = codec->pix_fmts[0];
            for (const AVPixelFormat* f = codec->pix_fmts; *f != AV_PIX_FMT_NONE; ++f)
                if (*f == AV_PIX_FMT_YUV420P || *f == AV_PIX_FMT_YUVJ420P) {
                    e->pix_fmt = *f;
                    break;
                }
        }
        AVRational rate = av_guess_frame_rate(ic_, ic_->streams[index], nullptr);
        if (rate.num <= 0 || rate.den <= 0) rate = {25, 1};
        e->framerate = rate;
        e->time_base = av_inv_q(rate);
        if (s.videoBitRate > 0) e->bit_rate = std::int64_t(s.videoBitRate) * 1000;
        else if (std::string(codec->name) == "mpeg4" || std::string(codec->name) == "mpeg2video")
            e->global_quality = FF_QP2LAMBDA * 4, e->flags |= AV_CODEC_FLAG_QSCALE;
        if (std::string(codec->name) == "libx264") av_opt_set(e->priv_data, "preset", "veryfast", 0);
        err = FinishEncoder(video_, codec);
        if (err != noErr) return err;
        sws_ = sws_getContext(d->width, d->height, d->pix_fmt, e->width, e->height, e->pix_fmt, SWS_BICUBIC,
                              nullptr, nullptr, nullptr);
        return sws_ ? OSErr(noErr) : OSErr(ioErr);
    }

    OSErr OpenAudio(int index, const MovieExportComponentInfo& format, const MovieExportSettingsRec& s) {
        OSErr err = OpenDecoder(audio_, index);
        if (err != noErr) return err;
        AVCodecContext* d = audio_.dec.get();
        if (d->sample_rate <= 0 || d->ch_layout.nb_channels <= 0) return kMovieInvalidErr;
        const AVCodec* codec = PickEncoder(s.audioCodec, format.audioCodecs);
        if (!codec) return ioErr;
        audio_.enc.reset(avcodec_alloc_context3(codec));
        AVCodecContext* e = audio_.enc.get();
        if (!e) return memFullErr;
        e->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : d->sample_fmt;
        int rate = s.sampleRate > 0 ? s.sampleRate : d->sample_rate;
        if (codec->supported_samplerates) {
            int best = codec->supported_samplerates[0];
            for (const int* r = codec->supported_samplerates; *r; ++r)
                if (std::abs(*r - rate) < std::abs(best - rate)) best = *r;
            rate = best;
        }
        e->sample_rate = rate;
        const int channels = std::clamp(s.channels > 0 ? s.channels : d->ch_layout.nb_channels, 1, 8);
        av_channel_layout_default(&e->ch_layout, channels);
        if (s.audioBitRate > 0) e->bit_rate = std::int64_t(s.audioBitRate) * 1000;
        e->time_base = {1, rate};
        err = FinishEncoder(audio_, codec);
        if (err != noErr) return err;
        if (swr_alloc_set_opts2(&swr_, &e->ch_layout, e->sample_fmt, e->sample_rate, &d->ch_layout, d->sample_fmt,
                                d->sample_rate, 0, nullptr) < 0 || swr_init(swr_) < 0)
            return ioErr;
        fifo_ = av_audio_fifo_alloc(e->sample_fmt, channels, 4096);
        frameSize_ = (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) || e->frame_size <= 0 ? 1024 : e->frame_size;
        return fifo_ ? OSErr(noErr) : OSErr(memFullErr);
    }

    OSErr Pump() {
        PacketPtr pkt(av_packet_alloc());
        FramePtr frame(av_frame_alloc());
        if (!pkt || !frame) return memFullErr;
        for (;;) {
            const int r = av_read_frame(ic_, pkt.get());
            if (r == AVERROR_EOF) break;
            if (r < 0) break;   // a damaged tail ends the source; what was read is kept
            Track* t = pkt->stream_index == video_.in ? &video_ : pkt->stream_index == audio_.in ? &audio_ : nullptr;
            if (t) {
                if (duration_ > 0 && pkt->pts != AV_NOPTS_VALUE) {
                    const double at = double(pkt->pts) * av_q2d(ic_->streams[t->in]->time_base);
                    if (!progress_(std::clamp(at / duration_, 0.0, 1.0))) return userCanceledErr;
                } else if (!progress_(0)) {
                    return userCanceledErr;
                }
                OSErr err = Decode(*t, pkt.get(), frame.get());
                if (err != noErr) return err;
            }
            av_packet_unref(pkt.get());
        }
        for (Track* t : {&video_, &audio_}) {
            if (!t->dec) continue;
            OSErr err = Decode(*t, nullptr, frame.get());
            if (err != noErr) return err;
        }
        if (audio_.enc) {
            OSErr err = Resample(nullptr);
            if (err == noErr) err = DrainFifo(true);
            if (err != noErr) return err;
        }
        for (Track* t : {&video_, &audio_}) {
            if (!t->enc) continue;
            OSErr err = Encode(*t, nullptr);
            if (err != noErr) return err;
        }
        return noErr;
    }

    OSErr Decode(Track& t, const AVPacket* pkt, AVFrame* frame) {
        if (avcodec_send_packet(t.dec.get(), pkt) < 0 && pkt) return noErr;   // a bad packet is skipped
        for (;;) {
            const int r = avcodec_receive_frame(t.dec.get(), frame);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return noErr;
            if (r < 0) return noErr;
            OSErr err = &t == &video_ ? Picture(frame) : Resample(frame);
            av_frame_unref(frame);
            if (err != noErr) return err;
        }
    }

    OSErr Picture(AVFrame* in) {
        AVCodecContext* e = video_.enc.get();
        if (in->width != video_.dec->width || in->height != video_.dec->height || in->format != video_.dec->pix_fmt) {
            // The source changed its frame size midway: scale from the new size.
            sws_freeContext(sws_);
            sws_ = sws_getContext(in->width, in->height, AVPixelFormat(in->format), e->width, e->height, e->pix_fmt,
                                  SWS_BICUBIC, nullptr, nullptr, nullptr);
            video_.dec->width = in->width;
            video_.dec->height = in->height;
            video_.dec->pix_fmt = AVPixelFormat(in->format);
            if (!sws_) return ioErr;
        }
        FramePtr out(av_frame_alloc());
        if (!out) return memFullErr;
        out->format = e->pix_fmt;
        out->width = e->width;
        out->height = e->height;
        if (av_frame_get_buffer(out.get(), 0) < 0) return memFullErr;
        sws_scale(sws_, in->data, in->linesize, 0, in->height, out->data, out->linesize);
        std::int64_t pts = in->best_effort_timestamp;
        pts = pts == AV_NOPTS_VALUE ? nextVideoPts_
                                    : av_rescale_q(pts, ic_->streams[video_.in]->time_base, e->time_base);
        // Every decoded picture is kept: equal or backward times move on by one frame.
        if (pts < nextVideoPts_) pts = nextVideoPts_;
        out->pts = pts;
        nextVideoPts_ = pts + 1;
        return Encode(video_, out.get());
    }

    OSErr Resample(AVFrame* in) {
        AVCodecContext* e = audio_.enc.get();
        const int inSamples = in ? in->nb_samples : 0;
        const int maxOut = swr_get_out_samples(swr_, inSamples);
        if (maxOut <= 0) return in ? OSErr(noErr) : DrainFifo(false);
        FramePtr conv(av_frame_alloc());
        if (!conv) return memFullErr;
        conv->format = e->sample_fmt;
        conv->sample_rate = e->sample_rate;
        av_channel_layout_copy(&conv->ch_layout, &e->ch_layout);
        conv->nb_samples = maxOut;
        if (av_frame_get_buffer(conv.get(), 0) < 0) return memFullErr;
        const int n = swr_convert(swr_, conv->data, maxOut, in ? const_cast<const uint8_t**>(in->extended_data) : nullptr,
                                  inSamples);
        if (n < 0) return ioErr;
        if (n > 0 && av_audio_fifo_write(fifo_, reinterpret_cast<void**>(conv->data), n) < n) return memFullErr;
        return DrainFifo(false);
    }

    OSErr DrainFifo(bool all) {
        AVCodecContext* e = audio_.enc.get();
        while (av_audio_fifo_size(fifo_) >= frameSize_ || (all && av_audio_fifo_size(fifo_) > 0)) {
            const int n = std::min(frameSize_, av_audio_fifo_size(fifo_));
            FramePtr f(av_frame_alloc());
            if (!f) return memFullErr;
            f->format = e->sample_fmt;
            f->sample_rate = e->sample_rate;
            av_channel_layout_copy(&f->ch_layout, &e->ch_layout);
            f->nb_samples = n;
            if (av_frame_get_buffer(f.get(), 0) < 0) return memFullErr;
            if (av_audio_fifo_read(fifo_, reinterpret_cast<void**>(f->data), n) < n) return ioErr;
            f->pts = audioSamples_;
            audioSamples_ += n;
            OSErr err = Encode(audio_, f.get());
            if (err != noErr) return err;
        }
        return noErr;
    }

    OSErr Encode(Track& t, const AVFrame* frame) {
        if (avcodec_send_frame(t.enc.get(), frame) < 0) return ioErr;
        PacketPtr pkt(av_packet_alloc());
        if (!pkt) return memFullErr;
        for (;;) {
            const int r = avcodec_receive_packet(t.enc.get(), pkt.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return noErr;
            if (r < 0) return ioErr;
            // A picture lasts one frame: without it the muxer cannot tell how long the last one
            // shows, and containers with edit lists drop it.
            if (&t == &video_ && pkt->duration <= 0) pkt->duration = 1;
            av_packet_rescale_ts(pkt.get(), t.enc->time_base, t.out->time_base);
            pkt->stream_index = t.out->index;
            if (av_interleaved_write_frame(oc_, pkt.get()) < 0) return ioErr;
        }
    }

    AVFormatContext* ic_ = nullptr;
    AVFormatContext* oc_ = nullptr;
    Track video_, audio_;
    SwsContext* sws_ = nullptr;
    SwrContext* swr_ = nullptr;
    AVAudioFifo* fifo_ = nullptr;
    int frameSize_ = 1024;
    std::int64_t audioSamples_ = 0;
    std::int64_t nextVideoPts_ = 0;
    double duration_ = 0;
    MovieExportProgress progress_;
};

}  // namespace

OSErr MovieExportToFile(const std::string& sourcePath, const std::string& destPath,
                        const MovieExportComponentInfo& format, const MovieExportSettingsRec& settings,
                        bool soundOnly, const MovieExportProgress& progress) {
    Export job;
    return job.Run(sourcePath, destPath, format, settings, soundOnly,
                   progress ? progress : MovieExportProgress([](double) { return true; }));
}
