// Choosing a folder with the desktop's own folder chooser. A browse that starts without a
// folder starts at the one chosen last time (in this run), and its choice becomes the new last
// folder; a browse given a start folder neither uses nor changes it.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <functional>

class wxWindow;

inline constexpr int kFolderPathCapacity = 260;

class CFolderBrowser {
public:
    // flags := (flags & ~mask) | bits.
    void SetFlags(std::uint32_t bits, std::uint32_t mask) { flags_ = (flags_ & ~mask) | bits; }
    std::uint32_t Flags() const { return flags_; }
    // A null text leaves the prompt.
    void SetTitle(const wxString* prompt) {
        if (prompt) prompt_ = *prompt;
    }
    // 0 cancelled; 1 the buffer is null or the choice has no local path; 2 a folder was chosen
    // and written to the buffer (UTF-8, at most kFolderPathCapacity bytes with its zero).
    int Browse(wxWindow* owner, char* path);

    // The last folder of the run (tests reset it).
    static wxString& LastFolder();

    // Shows the chooser starting at a folder; wxID_OK with the chosen folder, else wxID_CANCEL.
    // The desktop's own chooser unless replaced (GTK fills in the choice only when a person
    // accepts it, so tests answer in its place).
    using Chooser = std::function<int(wxWindow* owner, const wxString& prompt, const wxString& start, wxString* chosen)>;
    void SetChooser(Chooser chooser) { chooser_ = std::move(chooser); }
    static int NativeChooser(wxWindow* owner, const wxString& prompt, const wxString& start, wxString* chosen);

private:
    Chooser chooser_ = &CFolderBrowser::NativeChooser;
    std::uint32_t flags_ = 0;
    wxString prompt_;
};
