#include "window/ui/CPanelDropTarget.h"

#include "foundation/messages/RegisteredMessages.h"
#include "window/ui/CPaneListBase.h"
#include "window/view/ViewRec.h"

#include <optional>
#include <wx/utils.h>

namespace {

wxString FormatName(const char16_t* name) {
    wxString out;
    for (const char16_t* p = name; *p; ++p) out += wxUniChar(unsigned(*p));
    return out;
}

std::optional<PanelDragRef>& DragInProgress() {
    static std::optional<PanelDragRef> ref;
    return ref;
}

std::uint32_t NowMs() { return std::uint32_t(wxGetLocalTimeMillis().GetValue()); }

}  // namespace

wxDataFormat PanelGridDragFormat() { return wxDataFormat(FormatName(kGridClipboardFormatName)); }
wxDataFormat PanelRowDragFormat() { return wxDataFormat(FormatName(kPanelClipboardFormatName)); }

namespace {

wxCustomDataObject* MakeData(const wxDataFormat& format, const PanelDragRef& ref) {
    auto* data = new wxCustomDataObject(format);
    const auto bytes = PanelDragEncode(ref);
    data->SetData(bytes.size(), bytes.data());
    return data;
}

}  // namespace

wxCustomDataObject* MakeGridDragData(const PanelDragRef& ref) { return MakeData(PanelGridDragFormat(), ref); }
wxCustomDataObject* MakePanelDragData(const PanelDragRef& ref) { return MakeData(PanelRowDragFormat(), ref); }

void CPanelDropTarget::SetDragInProgress(const PanelDragRef* ref) {
    DragInProgress() = ref ? std::optional<PanelDragRef>(*ref) : std::nullopt;
}

CPanelDropTarget::CPanelDropTarget(CPaneListBase* list)
    : list_(list), grid_(new wxCustomDataObject(PanelGridDragFormat())),
      panel_(new wxCustomDataObject(PanelRowDragFormat())), data_(new wxDataObjectComposite) {
    data_->Add(grid_, true);
    data_->Add(panel_);
    SetDataObject(data_);
    // GTK reports motion only when the pointer moves; a drag resting on a row still opens it.
    restTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (kind_ != Kind::kNone && last_.x >= 0) Hover(last_.x, last_.y);
    });
}

CPanelDropTarget::~CPanelDropTarget() { restTimer_.Stop(); }

bool CPanelDropTarget::Accepts(Kind kind) const {
    const auto& active = DragInProgress();
    if (kind == Kind::kPanel) return active && PanelDragFromHere(*active, list_->ListId());
    if (kind == Kind::kGrid) {
        // Items of another catalog window's view never land here; a drag we did not start
        // ourselves is checked at the drop.
        const ViewRec* view = list_->GetView();
        if (!view) return false;
        return !active || PanelDragFromHere(*active, view->dragId);
    }
    return false;
}

wxDragResult CPanelDropTarget::OnEnter(wxCoord x, wxCoord y, wxDragResult def) {
    const wxDataFormat format = GetMatchingPair();
    kind_ = format == PanelRowDragFormat() ? Kind::kPanel : format == PanelGridDragFormat() ? Kind::kGrid : Kind::kNone;
    if (!Accepts(kind_)) kind_ = Kind::kNone;
    hover_ = DragHover{};
    if (kind_ != Kind::kNone) restTimer_.Start(250);
    return OnDragOver(x, y, def);
}

wxDragResult CPanelDropTarget::OnDragOver(wxCoord x, wxCoord y, wxDragResult) {
    if (kind_ == Kind::kNone) return wxDragNone;
    const bool allowed = kind_ == Kind::kPanel ? list_->TrackPanelDrag(x, y, false) : list_->TrackGridDrag(x, y, false);
    // The list scrolls by a row when the pointer nears an edge (the toolkit does not).
    const int direction = DragScrollDirection(y, list_->GetClientSize().y);
    if (direction) list_->ScrollRows(direction);
    last_ = wxPoint(x, y);
    Hover(x, y);
    return allowed ? (kind_ == Kind::kPanel ? wxDragMove : wxDragCopy) : wxDragNone;
}

void CPanelDropTarget::Hover(wxCoord x, wxCoord y) {
    const int row = list_->RowAt(y);
    const DragHoverAction action = DragHoverStep(&hover_, row, x, NowMs());
    if (action == DragHoverAction::kOpen)
        list_->ToggleRowForDrag(row, kind_ == Kind::kPanel, true);
    else if (action == DragHoverAction::kClose)
        list_->ToggleRowForDrag(row, kind_ == Kind::kPanel, false);
}

wxDragResult CPanelDropTarget::OnData(wxCoord x, wxCoord y, wxDragResult def) {
    restTimer_.Stop();
    const Kind kind = kind_;
    kind_ = Kind::kNone;
    if (kind == Kind::kNone || !GetData()) return wxDragNone;
    const bool panel = data_->GetReceivedFormat() == PanelRowDragFormat();
    wxCustomDataObject* got = panel ? panel_ : grid_;
    return Drop(panel, got->GetData(), got->GetSize(), x, y) ? def : wxDragNone;
}

bool CPanelDropTarget::Drop(bool panelData, const void* bytes, std::size_t length, int x, int y) {
    const std::optional<PanelDragRef> ref = PanelDragDecode(bytes, length);
    bool done = false;
    if (ref && panelData && PanelDragFromHere(*ref, list_->ListId())) {
        done = list_->DropPanelData(x, y, *ref);
    } else if (ref && !panelData) {
        ViewRec* view = list_->GetView();
        if (view && PanelDragFromHere(*ref, view->dragId)) done = list_->DropGridItems(x, y, view);
    }
    list_->TrackPanelDrag(0, 0, true);
    list_->TrackGridDrag(0, 0, true);
    return done;
}

void CPanelDropTarget::OnLeave() {
    restTimer_.Stop();
    list_->TrackGridDrag(0, 0, true);
    list_->TrackPanelDrag(0, 0, true);
    kind_ = Kind::kNone;
}
