#include "foundation/ui/ResourceImages.h"

#include "foundation/resources/ResourceStrings.h"
#include "platform/Handles.h"

#include <wx/image.h>
#include <wx/mstream.h>

wxBitmap LoadResourceBitmap(std::uint32_t id) {
    Handle h = nullptr;
    if (LoadResourceHandle(&h, 'PNG ', long(id)) != noErr || !h) return wxBitmap();
    wxMemoryInputStream in(*h, size_t(GetHandleSize(h)));
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    wxImage image(in, wxBITMAP_TYPE_PNG);
    DisposeHandle(h);
    return image.IsOk() ? wxBitmap(image) : wxBitmap();
}
