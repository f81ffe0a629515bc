#include "output/html/GalleryMovieCopy.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <cstdio>
#include <vector>

namespace {

struct InputHolder {
    AVFormatContext* context = nullptr;
    ~InputHolder() { if (context) avformat_close_input(&context); }
};

struct OutputHolder {
    AVFormatContext* context = nullptr;
    ~OutputHolder() {
        if (!context) return;
        if (context->pb) avio_closep(&context->pb);
        avformat_free_context(context);
    }
};

bool Remux(const std::string& source, const std::string& destination) {
    InputHolder in;
    if (avformat_open_input(&in.context, source.c_str(), nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(in.context, nullptr) < 0) return false;
    // A source is untrusted: a file claiming hundreds of streams is not a movie we copy.
    if (in.context->nb_streams == 0 || in.context->nb_streams > 64) return false;
    OutputHolder out;
    if (avformat_alloc_output_context2(&out.context, nullptr, "mov", destination.c_str()) < 0 || !out.context) return false;
    std::vector<int> map(in.context->nb_streams, -1);
    int next = 0;
    for (unsigned i = 0; i < in.context->nb_streams; ++i) {
        const AVCodecParameters* par = in.context->streams[i]->codecpar;
        if (par->codec_type != AVMEDIA_TYPE_VIDEO && par->codec_type != AVMEDIA_TYPE_AUDIO) continue;
        AVStream* stream = avformat_new_stream(out.context, nullptr);
        if (!stream || avcodec_parameters_copy(stream->codecpar, par) < 0) return false;
        stream->codecpar->codec_tag = 0;
        stream->time_base = in.context->streams[i]->time_base;
        map[i] = next++;
    }
    if (next == 0) return false;
    if (avio_open(&out.context->pb, destination.c_str(), AVIO_FLAG_WRITE) < 0) return false;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "faststart", 0);
    const int header = avformat_write_header(out.context, &options);
    av_dict_free(&options);
    if (header < 0) return false;
    AVPacket* packet = av_packet_alloc();
    if (!packet) return false;
    bool ok = true;
    while (ok && av_read_frame(in.context, packet) >= 0) {
        const int target = packet->stream_index < int(map.size()) ? map[std::size_t(packet->stream_index)] : -1;
        if (target >= 0) {
            av_packet_rescale_ts(packet, in.context->streams[packet->stream_index]->time_base,
                                 out.context->streams[target]->time_base);
            packet->stream_index = target;
            packet->pos = -1;
            ok = av_interleaved_write_frame(out.context, packet) >= 0;
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    if (av_write_trailer(out.context) < 0) ok = false;
    return ok;
}

}  // namespace

bool GalleryCopyMovie(const std::string& source, const std::string& destination) {
    if (Remux(source, destination)) return true;
    std::remove(destination.c_str());
    return false;
}
