#include "foundation/ui/CPictureStatic.h"

#include "foundation/interface/FitRect.h"
#include "foundation/ui/OffscreenBitmap.h"
#include "platform/imaging/GWorld.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

CPictureStatic::CPictureStatic(wxWindow* parent, wxWindowID id)
    : wxControl(parent, id, wxDefaultPosition, wxSize(64, 64), wxBORDER_NONE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    BindEvents();
}

void CPictureStatic::SetPicture(PicHandle picture) {
    picture_ = picture;
    Render();
    Refresh();
}

void CPictureStatic::Render() {
    rendered_ = wxBitmap();
    pictureRect_ = wxRect();
    Rect frame{};
    if (!picture_ || !GetPictureFrame(picture_, &frame)) return;
    const wxSize client = GetClientSize();
    if (client.x <= 0 || client.y <= 0) return;
    Rect r = frame;
    Point topLeft{0, 0};
    Point bottomRight{short(client.y), short(client.x)};
    FitRectInRect(&r, topLeft, bottomRight, kFitShrinkOnly);
    Rect bounds{0, 0, short(r.bottom - r.top), short(r.right - r.left)};
    GWorldPtr world = nullptr;
    if (NewGWorldFromFormat(&world, k32ARGBPixelFormat, &bounds) != noErr) return;
    if (DrawPicture(picture_, world, &bounds) == noErr) {
        rendered_ = BitmapFromGWorld(world);
        pictureRect_ = wxRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    DisposeGWorld(world);
}

void CPictureStatic::BindEvents() {
    Bind(wxEVT_PAINT, &CPictureStatic::OnPaint, this);
    Bind(wxEVT_SIZE, &CPictureStatic::OnSize, this);
}

void CPictureStatic::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.Clear();
    if (rendered_.IsOk()) dc.DrawBitmap(rendered_, pictureRect_.GetPosition());
}

void CPictureStatic::OnSize(wxSizeEvent& event) {
    Render();
    Refresh();
    event.Skip();
}
