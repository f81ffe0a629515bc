// The Catalog Finder: searches a volume for catalog files in the background while the dialog
// stays usable (the Find button stops a running search; closing stops it too), lists them,
// shows the chosen one's item count, last save, path, comment and first thumbnail, and hands
// its path back on "Open". The list found is kept between runs, and shown again with its
// volume when the dialog next opens, until a new search replaces it.
#pragma once

#include "app/CatalogSearch.h"
#include "foundation/ui/CLyrexDialog.h"

#include <wx/timer.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CMainFrame;
class CDrvListBox;
class wxListCtrl;
class wxListEvent;

class CFindCatalogDialog : public CLyrexDialog {
public:
    explicit CFindCatalogDialog(wxWindow* frame);
    ~CFindCatalogDialog() override;

    // The chosen catalog's path after "Open".
    const std::string& Path() const { return path_; }
    wxListCtrl* List() const { return list_; }
    CDrvListBox* Volumes() const { return volumes_; }
    bool Searching() const { return worker_.joinable(); }

    // Starts a search of the chosen volume, or of root when given (tests); Stop ends it.
    void StartSearch(const std::string& root = std::string());
    void StopSearch();
    // Takes in what the search found so far; true once it has ended.
    bool DrainFound();
    // A row was chosen (-1: none).
    void ShowRow(long row);
    // "Open" or "Cancel": the search stops, a new result is kept, the dialog ends with code.
    void Finish(int code);

protected:
    bool OnInitDialog() override;

private:
    void BindEvents();
    void AddRow(const FoundCatalog& found);
    void ClearDetails();
    void SaveResult();

    CDrvListBox* volumes_;
    wxListCtrl* list_;
    std::vector<FoundCatalog> rows_;
    std::string volume_;
    std::string path_;
    bool searched_ = false;
    Handle preview_ = nullptr;
    wxTimer timer_;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> done_{false};
    std::mutex lock_;
    std::vector<FoundCatalog> pending_;
};
