// Pictures compiled into the program: typed resources 'PNG ' by id, as wx bitmaps.
#pragma once

#include <wx/bitmap.h>

#include <cstdint>

// The picture, or an invalid bitmap when there is none or it cannot be decoded.
wxBitmap LoadResourceBitmap(std::uint32_t id);
