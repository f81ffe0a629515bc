#include "platform/imaging/PackBits.h"

#include <cstring>

std::size_t UnpackBits(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
                       std::size_t* produced) {
    std::size_t ip = 0, op = 0;
    while (op < outSize && ip < inSize) {
        int n = static_cast<std::int8_t>(in[ip++]);
        if (n >= 0) {
            std::size_t count = std::size_t(n) + 1;
            std::size_t avail = inSize - ip;
            std::size_t take = count < avail ? count : avail;
            std::size_t room = outSize - op;
            std::size_t copy = take < room ? take : room;
            std::memcpy(out + op, in + ip, copy);
            op += copy;
            ip += take;
        } else if (n != -128) {
            if (ip >= inSize) break;
            std::uint8_t v = in[ip++];
            std::size_t count = std::size_t(1 - n);
            std::size_t room = outSize - op;
            std::size_t copy = count < room ? count : room;
            std::memset(out + op, v, copy);
            op += copy;
        }
    }
    if (produced) *produced = op;
    return ip;
}

std::size_t UnpackBitsWords(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
                            std::size_t* produced) {
    std::size_t ip = 0, op = 0;
    while (op < outSize && ip < inSize) {
        int n = static_cast<std::int8_t>(in[ip++]);
        if (n >= 0) {
            std::size_t bytes = (std::size_t(n) + 1) * 2;
            std::size_t avail = inSize - ip;
            std::size_t take = bytes < avail ? bytes : avail;
            std::size_t room = outSize - op;
            std::size_t copy = take < room ? take : room;
            std::memcpy(out + op, in + ip, copy);
            op += copy;
            ip += take;
        } else if (n != -128) {
            if (ip + 2 > inSize) break;
            std::uint8_t hi = in[ip], lo = in[ip + 1];
            ip += 2;
            for (int i = 0; i < 1 - n && op < outSize; ++i) {
                out[op++] = hi;
                if (op < outSize) out[op++] = lo;
            }
        }
    }
    if (produced) *produced = op;
    return ip;
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
