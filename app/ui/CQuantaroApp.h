// The application object: starts the program (after main() has made it the one instance),
// keeps the frames, the active frame, the recent catalogs and the hand-overs of later starts,
// and saves the application's settings at exit when start-up completed.
#pragma once

#include "app/AppStartup.h"
#include "app/CommandLine.h"
#include "app/InstanceChannel.h"
#include "app/ui/CMultiFrameApp.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>
#include <wx/accel.h>
#include <wx/timer.h>

class CMainFrame;
class AppProgress;
class WxTimerService;
class WxUiHooks;
struct _GVolumeMonitor;

class CQuantaroApp : public CMultiFrameApp {
public:
    CQuantaroApp();
    ~CQuantaroApp() override;

    // main() hands over the instance channel it claimed and the program's arguments.
    static void SetStartArguments(std::unique_ptr<InstanceServer> server, std::vector<std::string> arguments);

    bool OnInit() override;
    int OnExit() override;
    // The start-up with these arguments (OnInit's work, also run by the window tests): false
    // when the program cannot start. ExitInstance saves (when start-up completed) and shuts
    // the engines down; the frames must be gone by then.
    bool InitInstance(const std::vector<std::string>& arguments);
    void ExitInstance();

    // The frame activated last; null before the first activation.
    CMainFrame* GetMainWnd() const { return active_; }
    void SetActiveFrame(CMainFrame* frame) { active_ = frame; }
    void OnFrameClosed(CMainFrame* frame);

    CMainFrame* NewFrame(bool show);
    // The frame whose catalog is the file at path; null when none (untitled ones never match).
    CMainFrame* FindFrameForCatalog(const std::string& path) const;
    bool ActivateFrameForPath(const std::string& path);
    // Opens the catalog where it belongs (its own frame, this untitled empty frame, or a new
    // frame destroyed again when the load fails); false only for a failed load.
    bool OpenCatalogInFrame(CMainFrame* frame, const std::string& path);
    // Runs a command line (the program's own or a handed-over one) against a frame.
    CMainFrame* ProcessForeignCommandLine(const std::vector<std::string>& arguments);
    // Adds the media paths of a command line to the frame's catalog.
    void ImportCommandLineFiles(const std::vector<std::string>& paths, CMainFrame* frame);

    ShellState& State() { return state_; }
    RecentCatalogs& Recent() { return state_.recent; }
    // Adds to the recent list and rebuilds the Open Recent menus when it was new.
    void AddRecentFile(const std::string& path);
    void BuildRecentMenu();
    void SetLastCatalog(const std::string& path) { state_.lastCatalog = path; }
    const wxAcceleratorTable& Accelerators() const { return accelerators_; }
    bool Started() const { return state_.started; }

private:
    void OnInstanceTimer(wxTimerEvent& event);
    void RunQueuedHandOvers();
    void StartVolumeMonitor();
    void StopVolumeMonitor();

    ShellState state_;
    CMainFrame* active_ = nullptr;
    wxAcceleratorTable accelerators_;
    std::unique_ptr<InstanceServer> server_;
    std::vector<std::string> arguments_;
    std::deque<std::vector<std::string>> handOvers_;
    wxTimer instanceTimer_;
    std::unique_ptr<WxTimerService> timers_;
    std::unique_ptr<AppProgress> progress_;
    std::unique_ptr<WxUiHooks> hooks_;
    _GVolumeMonitor* volumeMonitor_ = nullptr;
    unsigned long volumeSignals_[2] = {0, 0};
};

wxDECLARE_APP(CQuantaroApp);
// The one application object.
CQuantaroApp& GetApp();
