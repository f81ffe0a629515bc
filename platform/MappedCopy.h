// Copying out of a memory map of a file that another program may shorten meanwhile. A page of
// the map that lies past the file's new end raises SIGBUS when touched; a copy made through
// MappedCopy turns that into a failed copy the caller reports as an I/O error, instead of the
// program being stopped. Only the copying thread's own guarded copies are caught: a SIGBUS
// anywhere else goes on to the handler that was there before (by default, the program stops).
#pragma once

#include <cstddef>

// Copies n bytes from src (inside a file's memory map) to dst. False when a page of the map
// could not be read because the file no longer holds it; dst is then partly written.
bool MappedCopy(void* dst, const void* src, std::size_t n);
