#include "foundation/ui/DialogPositions.h"

#include <wx/display.h>
#include <wx/window.h>

#include <algorithm>
#include <map>

namespace {

std::map<std::uint32_t, wxPoint>& Positions() {
    static std::map<std::uint32_t, wxPoint> positions;
    return positions;
}

long DistanceSquared(const wxRect& area, wxPoint p) {
    long dx = p.x < area.GetLeft() ? area.GetLeft() - p.x : (p.x > area.GetRight() ? p.x - area.GetRight() : 0);
    long dy = p.y < area.GetTop() ? area.GetTop() - p.y : (p.y > area.GetBottom() ? p.y - area.GetBottom() : 0);
    return dx * dx + dy * dy;
}

}  // namespace

void SaveDialogPosition(wxWindow* window, std::uint32_t key) {
    if (!window || key == 0 || window->IsBeingDeleted() || !window->GetHandle()) return;
    Positions()[key] = window->GetScreenPosition();
}

bool RestoreDialogPosition(wxWindow* window, std::uint32_t key) {
    if (!window || key == 0) return false;
    auto it = Positions().find(key);
    if (it == Positions().end()) return false;
    window->Move(ClampToDisplays(it->second, window->GetSize(), DisplayAreas()));
    return true;
}

std::optional<wxPoint> StoredDialogPosition(std::uint32_t key) {
    auto it = Positions().find(key);
    if (it == Positions().end()) return std::nullopt;
    return it->second;
}

void ForgetDialogPositions() { Positions().clear(); }

wxPoint ClampToDisplays(wxPoint corner, wxSize size, const std::vector<wxRect>& areas) {
    if (areas.empty()) return corner;
    const wxRect* best = &areas.front();
    for (const wxRect& area : areas) {
        if (area.Contains(corner)) {
            best = &area;
            break;
        }
        if (DistanceSquared(area, corner) < DistanceSquared(*best, corner)) best = &area;
    }
    wxPoint p = corner;
    // Keep the whole window inside the area where it can; a window larger than the area
    // keeps its top-left corner inside, so its title bar stays reachable.
    p.x = std::min(p.x, best->GetRight() + 1 - size.x);
    p.y = std::min(p.y, best->GetBottom() + 1 - size.y);
    p.x = std::max(p.x, best->GetLeft());
    p.y = std::max(p.y, best->GetTop());
    return p;
}

std::vector<wxRect> DisplayAreas() {
    std::vector<wxRect> areas;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) areas.push_back(wxDisplay(i).GetClientArea());
    return areas;
}
