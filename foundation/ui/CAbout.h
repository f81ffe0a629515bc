// The about box: the program's version and build, a notice line, a short text about its web
// site and two links, the home page and the update check. Opened by the About command it
// shows in full with OK; without the full-size flag (a splash) only its top part shows and a
// click anywhere closes it. The links ask the window below to run their commands.
#pragma once

#include "foundation/ui/CLyrexDialog.h"

inline constexpr char kProgramVersion[] = "2.7.0";
inline constexpr unsigned kProgramBuild = 16422;

// Commands the links send to the about box's parent (menu events of these ids).
enum : int { kAboutHomePageCommand = 15553, kAboutCheckUpdatesCommand = 15554 };

class CAbout : public CLyrexDialog {
public:
    CAbout(bool fullSize, wxWindow* parent);

protected:
    bool OnInitDialog() override;

private:
    void SendCommand(int id);
    bool fullSize_;
};
