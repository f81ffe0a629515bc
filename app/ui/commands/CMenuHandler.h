// The command target of a catalog window: every menu, accelerator and tool-bar command of its
// frame comes here and is run through the command table, with its enable rule checked again
// right before it runs; the menus' update requests ask the same rules.
#pragma once

class CMainFrame;
class wxCommandEvent;
class wxUpdateUIEvent;

class CMenuHandler {
public:
    explicit CMenuHandler(CMainFrame* frame) : frame_(frame) {}
    // Binds the frame's command and update events over the command ids.
    void Attach();
    // Runs a command as the menus would; false (with a beep) when it is disabled now.
    bool Execute(int id);

private:
    void OnCommand(wxCommandEvent& event);
    void OnUpdate(wxUpdateUIEvent& event);
    CMainFrame* frame_;
};
