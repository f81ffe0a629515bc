// Where each dialog was last left during this run, keyed by its template id (or a sheet's
// caption string id). The map lives in memory only; a restored corner is pulled onto a
// visible display, since a monitor may have gone away since the dialog was closed.
#pragma once

#include <wx/gdicmn.h>

#include <cstdint>
#include <optional>
#include <vector>

class wxWindow;

// Stores the window's top-left screen corner under the key (a key of 0 stores nothing).
void SaveDialogPosition(wxWindow* window, std::uint32_t key);
// Moves the window to the corner stored under the key, if any; answers whether it moved.
bool RestoreDialogPosition(wxWindow* window, std::uint32_t key);

std::optional<wxPoint> StoredDialogPosition(std::uint32_t key);
// Empties the map (at exit, and between tests).
void ForgetDialogPositions();

// The corner at which a window of the size is fully (or as far as it can be) inside one of the
// display areas: unchanged when its top-left corner lies in one of them and the window fits;
// otherwise moved into the area nearest to the corner (the first area when none is given).
wxPoint ClampToDisplays(wxPoint corner, wxSize size, const std::vector<wxRect>& areas);
// The client areas of the displays connected now.
std::vector<wxRect> DisplayAreas();
