// A frame that shows a picture (a picture handle of the core) shrunk to fit and centred, on the
// button-face colour. The picture is drawn into an offscreen when it is set or the frame
// resized; painting only copies that offscreen.
#pragma once

#include "platform/imaging/Picture.h"

#include <wx/bitmap.h>
#include <wx/control.h>

class CPictureStatic : public wxControl {
public:
    CPictureStatic(wxWindow* parent, wxWindowID id);

    // The picture to show (null: none). The caller keeps ownership and keeps it alive.
    void SetPicture(PicHandle picture);
    PicHandle Picture() const { return picture_; }
    // Where the picture lands in the client area (empty without a picture).
    wxRect PictureRect() const { return pictureRect_; }

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void Render();

    PicHandle picture_ = nullptr;
    wxBitmap rendered_;
    wxRect pictureRect_;
};
