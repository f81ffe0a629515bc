#include "output/ui/slideshow/SlideShowKeys.h"

#include <wx/defs.h>
#include <wx/event.h>

bool SlideShowHandleKey(SlideShowMachine& show, const wxKeyEvent& event) {
    const int code = event.GetKeyCode();
    const int unicode = int(event.GetUnicodeKey());
    if (code == '0' && event.ControlDown()) {
        show.Key(SlideKey::ToggleActualSize);
        return true;
    }
    if (event.ControlDown() || event.AltDown()) return false;   // the accelerators' keys
    switch (code) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: show.Key(SlideKey::Enter); return true;
    case WXK_ESCAPE: show.Key(SlideKey::Escape); return true;
    case WXK_SPACE: show.Key(SlideKey::Space); return true;
    case WXK_LEFT:
    case WXK_UP:
    case WXK_NUMPAD_LEFT:
    case WXK_NUMPAD_UP: show.Key(SlideKey::Previous); return true;
    case WXK_RIGHT:
    case WXK_DOWN:
    case WXK_NUMPAD_RIGHT:
    case WXK_NUMPAD_DOWN: show.Key(SlideKey::Next); return true;
    case WXK_ADD:
    case WXK_NUMPAD_ADD: show.Key(SlideKey::ZoomIn); return true;
    case WXK_SUBTRACT:
    case WXK_NUMPAD_SUBTRACT: show.Key(SlideKey::ZoomOut); return true;
    case WXK_F5: show.Key(SlideKey::ControllerMode); return true;
    default: break;
    }
    if (code >= WXK_NUMPAD0 && code <= WXK_NUMPAD9) {
        show.Key(SlideKey::Label, code - WXK_NUMPAD0);
        return true;
    }
    switch (unicode) {
    case '+':
    case '=': show.Key(SlideKey::ZoomIn); return true;
    case '-':
    case '_': show.Key(SlideKey::ZoomOut); return true;
    case 'g':
    case 'G': show.Key(SlideKey::Go); return true;
    case 's':
    case 'S': show.Key(SlideKey::Pause); return true;
    case 'i':
    case 'I': show.Key(SlideKey::Interactive); return true;
    case 'l':
    case 'L': show.Key(SlideKey::Continuous); return true;
    case 'r':
    case 'R': show.Key(SlideKey::Random); return true;
    default: break;
    }
    if (unicode >= '0' && unicode <= '9') {
        show.Key(SlideKey::Label, unicode - '0');
        return true;
    }
    return false;
}
