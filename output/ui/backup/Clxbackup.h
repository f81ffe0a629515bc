// The Backup dialog: the destination (a mounted volume, a drive that burns discs, or a disc
// image kept as a file), all or only the visible media files, and the three options (reset
// paths, keep folder structure, include the catalog). It opens with the settings stored last
// and, on "Backup", stores them again ("BackupOptions") and tells which destination was chosen.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "output/backup/BackupDestinations.h"
#include "output/backup/BackupOptions.h"

#include <vector>

class Clxbackup : public CLyrexDialog {
public:
    Clxbackup(wxWindow* parent, std::vector<BackupDestination> destinations);

    // After "Backup": the settings and the chosen destination (null when none).
    const BackupOptionsRec& Options() const { return options_; }
    const BackupDestination* Chosen() const;

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    std::vector<BackupDestination> destinations_;
    BackupOptionsRec options_;
};
