#include "platform/imaging/PackBits.h"

#include <cstring>

namespace {

// Both unpackers: counts are in units of `unit` bytes (1, or 2 for 16-bit pixels).
std::size_t UnpackUnits(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
                        std::size_t* produced, std::size_t unit) {
    std::size_t ip = 0, op = 0;
    while (op < outSize && ip < inSize) {
        int n = static_cast<std::int8_t>(in[ip++]);
        if (n >= 0) {
            std::size_t bytes = (std::size_t(n) + 1) * unit;
            std::size_t avail = inSize - ip;
            std::size_t take = bytes < avail ? bytes : avail;
            std::size_t room = outSize - op;
            std::size_t copy = take < room ? take : room;
            std::memcpy(out + op, in + ip, copy);
            op += copy;
            ip += take;
        } else if (n != -128) {
            if (ip + unit > inSize) break;
            const std::uint8_t* value = in + ip;
            ip += unit;
            std::size_t count = std::size_t(1 - n);
            if (unit == 1) {
                std::size_t room = outSize - op;
                std::size_t copy = count < room ? count : room;
                std::memset(out + op, *value, copy);
                op += copy;
            } else {
                for (std::size_t i = 0; i < count && op < outSize; ++i)
                    for (std::size_t b = 0; b < unit && op < outSize; ++b) out[op++] = value[b];
            }
        }
    }
    if (produced) *produced = op;
    return ip;
}

}  // namespace

std::size_t UnpackBits(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
                       std::size_t* produced) {
    return UnpackUnits(in, inSize, out, outSize, produced, 1);
}

std::size_t UnpackBitsWords(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
                            std::size_t* produced) {
    return UnpackUnits(in, inSize, out, outSize, produced, 2);
}

void PackBits(const std::uint8_t* in, std::size_t n, std::vector<std::uint8_t>* out) {
    std::size_t i = 0;
    while (i < n) {
        // A run of at least three equal bytes is worth a repeat code.
        std::size_t run = 1;
        while (i + run < n && run < 128 && in[i + run] == in[i]) ++run;
        if (run >= 3) {
            out->push_back(static_cast<std::uint8_t>(1 - int(run)));
            out->push_back(in[i]);
            i += run;
            continue;
        }
        std::size_t start = i;
        std::size_t lit = 0;
        while (i < n && lit < 128) {
            if (i + 2 < n && in[i] == in[i + 1] && in[i] == in[i + 2]) break;
            ++i;
            ++lit;
        }
        out->push_back(static_cast<std::uint8_t>(lit - 1));
        out->insert(out->end(), in + start, in + start + lit);
    }
}
