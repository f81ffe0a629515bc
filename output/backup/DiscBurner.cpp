#include "output/backup/DiscBurner.h"

#include <sys/stat.h>
#include <unistd.h>

#include <libburn/libburn.h>

#include <cstring>
#include <mutex>

// libburn declares its C interface inside a C++ namespace of its own.
using namespace burn;

namespace {

// libburn is set up once for the process and never shut down: its drive list lives as long.
bool BurnReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        ready = burn_initialize() == 1;
        if (ready) burn_msgs_set_severities(const_cast<char*>("NEVER"), const_cast<char*>("NEVER"), const_cast<char*>(""));
    });
    return ready;
}

}  // namespace

std::vector<OpticalDrive> FindWritableDrives() {
    std::vector<OpticalDrive> out;
    if (!BurnReady()) return out;
    burn_drive_info* infos = nullptr;
    unsigned int count = 0;
    while (burn_drive_scan(&infos, &count) == 0) usleep(100000);
    for (unsigned int i = 0; infos && i < count; ++i) {
        const burn_drive_info& d = infos[i];
        if (!(d.write_cdr || d.write_cdrw || d.write_dvdr || d.write_dvdram)) continue;
        char adr[BURN_DRIVE_ADR_LEN] = {};
        if (burn_drive_get_adr(&infos[i], adr) <= 0) continue;
        OpticalDrive drive;
        drive.address = adr;
        drive.name = std::string(d.vendor) + " " + d.product;
        out.push_back(drive);
    }
    if (infos) burn_drive_info_free(infos);
    return out;
}

OSErr BurnDiscImage(const std::string& driveAddress, const std::string& imagePath, const CopyProgressProc& progress,
                    FileFailure* failure) {
    struct stat st{};
    if (stat(imagePath.c_str(), &st) != 0) return RecordFailure(failure, fnfErr, imagePath);
    if (!BurnReady()) return RecordFailure(failure, ioErr, driveAddress);
    burn_drive_info* infos = nullptr;
    char adr[BURN_DRIVE_ADR_LEN] = {};
    std::strncpy(adr, driveAddress.c_str(), sizeof adr - 1);
    if (burn_drive_scan_and_grab(&infos, adr, 1) != 1 || !infos) return RecordFailure(failure, dirNFErr, driveAddress);
    burn_drive* drive = infos[0].drive;
    auto release = [&] {
        burn_drive_release(drive, 0);
        burn_drive_info_free(infos);
    };
    const burn_disc_status status = burn_disc_get_status(drive);
    if (status != BURN_DISC_BLANK && status != BURN_DISC_APPENDABLE) {
        release();
        return RecordFailure(failure, wrPermErr, driveAddress);
    }

    burn_source* source = burn_file_source_new(imagePath.c_str(), nullptr);
    burn_disc* disc = burn_disc_create();
    burn_session* session = burn_session_create();
    burn_track* track = burn_track_create();
    burn_disc_add_session(disc, session, BURN_POS_END);
    burn_track_define_data(track, 0, 0, 1, BURN_MODE1);
    burn_track_set_source(track, source);
    burn_session_add_track(session, track, BURN_POS_END);
    burn_write_opts* opts = burn_write_opts_new(drive);
    burn_write_opts_set_perform_opc(opts, 0);
    burn_write_opts_set_underrun_proof(opts, 1);
    char reasons[BURN_REASONS_LEN] = {};
    OSErr err = noErr;
    if (burn_write_opts_auto_write_type(opts, disc, reasons, 0) == BURN_WRITE_NONE) {
        err = wrPermErr;
    } else {
        burn_disc_write(opts, disc);
        burn_progress p{};
        bool cancelled = false;
        while (burn_drive_get_status(drive, &p) != BURN_DRIVE_IDLE) {
            if (progress && !cancelled && p.sectors > 0) {
                if (OSErr e = progress(SInt64(p.sector) * 2048, SInt64(p.sectors) * 2048)) {
                    burn_drive_cancel(drive);
                    cancelled = true;
                    err = e;
                }
            }
            usleep(200000);
        }
        if (!cancelled && burn_drive_wrote_well(drive) != 1) err = ioErr;
    }
    burn_write_opts_free(opts);
    burn_source_free(source);
    burn_track_free(track);
    burn_session_free(session);
    burn_disc_free(disc);
    release();
    if (err == noErr) return noErr;
    return RecordFailure(failure, err, err == ioErr || err == wrPermErr ? driveAddress : imagePath);
}
