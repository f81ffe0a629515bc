// A Str255 made from text, for calls that take Pascal strings.
#pragma once

#include "platform/MacTypes.h"

#include <cstring>
#include <string>

struct PStr255 {
    Str255 s{};
    // Text longer than 255 bytes is cut, as a Pascal string can hold no more.
    explicit PStr255(const std::string& text) {
        const std::size_t n = text.size() < 255 ? text.size() : 255;
        s[0] = static_cast<unsigned char>(n);
        std::memcpy(s + 1, text.data(), n);
    }
    std::string str() const { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }
};
