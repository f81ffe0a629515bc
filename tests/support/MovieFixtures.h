// Movies and sounds made at test time with the ffmpeg tool from its test sources, and what
// ffprobe says of a file, as flat key=value pairs ("streams.stream.0.width" -> "160").
#pragma once

#include "support/RunTool.h"

#include <fcntl.h>

#include <map>
#include <string>
#include <vector>

namespace moviefixtures {

// A short movie of the test pattern (and a tone when sound is given) with the codec arguments.
inline bool MakeMovie(const std::string& path, const std::vector<std::string>& codec, bool sound = false,
                      double seconds = 2.0, const std::string& size = "160x120", int rate = 10) {
    std::vector<std::string> args = {"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                                     "testsrc=duration=" + std::to_string(seconds) + ":size=" + size +
                                         ":rate=" + std::to_string(rate)};
    if (sound) {
        args.insert(args.end(), {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=22050:duration=" +
                                                          std::to_string(seconds)});
    }
    args.insert(args.end(), codec.begin(), codec.end());
    args.push_back(path);
    return RunTool(args) == 0;
}

inline bool MakeSound(const std::string& path, const std::vector<std::string>& codec, double seconds = 1.5,
                      int rate = 22050, int channels = 1) {
    std::vector<std::string> args = {"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                                     "sine=frequency=440:sample_rate=" + std::to_string(rate) +
                                         ":duration=" + std::to_string(seconds),
                                     "-ac", std::to_string(channels)};
    args.insert(args.end(), codec.begin(), codec.end());
    args.push_back(path);
    return RunTool(args) == 0;
}

using Probe = std::map<std::string, std::string>;

inline Probe ProbeFile(const std::string& path) {
    std::string out;
    RunTool({"ffprobe", "-v", "error", "-show_format", "-show_streams", "-of", "flat", path}, &out);
    Probe p;
    std::size_t pos = 0;
    while (pos < out.size()) {
        std::size_t nl = out.find('\n', pos);
        if (nl == std::string::npos) nl = out.size();
        std::string line = out.substr(pos, nl - pos);
        pos = nl + 1;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string value = line.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        p[line.substr(0, eq)] = value;
    }
    return p;
}

inline std::string Get(const Probe& p, const std::string& key) {
    auto it = p.find(key);
    return it == p.end() ? std::string() : it->second;
}

// The index of the first stream of the type ("video", "audio") in the probe, -1 when none.
inline int StreamOf(const Probe& p, const std::string& type) {
    for (int i = 0; i < 64; ++i) {
        std::string t = Get(p, "streams.stream." + std::to_string(i) + ".codec_type");
        if (t.empty()) return -1;
        if (t == type) return i;
    }
    return -1;
}

inline std::string StreamValue(const Probe& p, int stream, const std::string& key) {
    return Get(p, "streams.stream." + std::to_string(stream) + "." + key);
}

// Decoded frames of every stream, one checksum line each (ffmpeg's framemd5).
inline std::string FrameChecksums(const std::string& path) {
    std::string out;
    RunTool({"ffmpeg", "-nostdin", "-v", "error", "-i", path, "-map", "0", "-f", "framemd5", "-"}, &out);
    std::string lines;
    std::size_t pos = 0;
    while (pos < out.size()) {
        std::size_t nl = out.find('\n', pos);
        if (nl == std::string::npos) nl = out.size();
        std::string line = out.substr(pos, nl - pos);
        if (!line.empty() && line[0] != '#') lines += line + "\n";
        pos = nl + 1;
    }
    return lines;
}

}  // namespace moviefixtures
