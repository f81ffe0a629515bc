#include "foundation/settings/NamedSettings.h"

#include <cstdint>
#include <cstring>

void SwapNamedSettings(const void* source, void* destination) {
    const auto* from = static_cast<const std::uint8_t*>(source);
    auto* to = static_cast<std::uint8_t*>(destination);
    std::memmove(to, from, kNamedSettingsTextSize);
    for (int i = 0; i < kNamedSettingsValueCount; ++i) {
        const std::size_t at = kNamedSettingsTextSize + 2 * std::size_t(i);
        const std::uint8_t hi = from[at], lo = from[at + 1];
        to[at] = lo;
        to[at + 1] = hi;
    }
}
