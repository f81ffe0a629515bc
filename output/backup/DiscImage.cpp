#include "output/backup/DiscImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// libisofs brings its own copy of the byte source it hands out; libburn is not needed here.
#define LIBISOFS_WITHOUT_LIBBURN 1
#include <libisofs/libisofs.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>


#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

bool IsoReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        ready = iso_init() >= 0;
        // Problems come back as results; nothing goes to the terminal.
        if (ready) iso_set_msgs_severities(const_cast<char*>("NEVER"), const_cast<char*>("NEVER"), const_cast<char*>(""));
    });
    return ready;
}

struct ImageDeleter {
    void operator()(IsoImage* image) const { iso_image_unref(image); }
};
struct OptsDeleter {
    void operator()(IsoWriteOpts* opts) const { iso_write_opts_free(opts); }
};
struct SourceDeleter {
    void operator()(burn_source* source) const {
        source->free_data(source);
        free(source);
    }
};

}  // namespace

OSErr WriteDiscImage(const std::string& folder, const std::string& imagePath, const std::string& volumeId,
                     const CopyProgressProc& progress, FileFailure* failure) {
    if (!IsoReady()) return RecordFailure(failure, ioErr, imagePath);
    struct stat st{};
    if (lstat(imagePath.c_str(), &st) == 0) return RecordFailure(failure, dupFNErr, imagePath);
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return RecordFailure(failure, dirNFErr, folder);

    std::string volid = volumeId.substr(0, 32);
    IsoImage* rawImage = nullptr;
    if (iso_image_new(volid.c_str(), &rawImage) < 0) return RecordFailure(failure, memFullErr, imagePath);
    std::unique_ptr<IsoImage, ImageDeleter> image(rawImage);
    iso_image_set_application_id(image.get(), const_cast<char*>("LYREX ONDREL"));
    iso_tree_set_follow_symlinks(image.get(), 0);
    iso_tree_set_ignore_hidden(image.get(), 0);
    if (int r = iso_tree_add_dir_rec(image.get(), iso_image_get_root(image.get()), folder.c_str()); r < 0)
        return RecordFailure(failure, r == int(ISO_OUT_OF_MEM) ? OSErr(memFullErr) : OSErr(ioErr), folder);

    IsoWriteOpts* rawOpts = nullptr;
    // Profile 2: a disc to be read elsewhere (permissions and owners made sensible for readers).
    if (iso_write_opts_new(&rawOpts, 2) < 0) return RecordFailure(failure, memFullErr, imagePath);
    std::unique_ptr<IsoWriteOpts, OptsDeleter> opts(rawOpts);
    iso_write_opts_set_rockridge(opts.get(), 1);
    iso_write_opts_set_joliet(opts.get(), 1);
    iso_write_opts_set_joliet_longer_paths(opts.get(), 1);
    iso_write_opts_set_relaxed_vol_atts(opts.get(), 1);

    burn_source* rawSource = nullptr;
    if (int r = iso_image_create_burn_source(image.get(), opts.get(), &rawSource); r < 0 || !rawSource)
        return RecordFailure(failure, ioErr, imagePath);
    std::unique_ptr<burn_source, SourceDeleter> source(rawSource);
    const SInt64 total = SInt64(source->get_size(source.get()));

    const std::string folderOfImage = imagePath.substr(0, imagePath.rfind('/') == 0 ? 1 : imagePath.rfind('/'));
    const std::string name = imagePath.substr(imagePath.rfind('/') + 1);
    std::string temp;
    int out = -1;
    for (int n = 0; n < 100 && out < 0; ++n) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%d-%d.part", int(getpid()), n);
        temp = folderOfImage + "/." + name + suffix;
        out = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (out < 0 && errno != EEXIST) return RecordFailure(failure, OSErrFromErrno(errno), imagePath);
    }
    if (out < 0) return RecordFailure(failure, dupFNErr, imagePath);
    auto drop = [&](OSErr err, const std::string& path) {
        close(out);
        unlink(temp.c_str());
        // The writer thread of libisofs is told to stop before its source goes away.
        if (source->version >= 1 && source->cancel) source->cancel(source.get());
        source.reset();
        return RecordFailure(failure, err, path);
    };

    // The source hands out whole blocks; a read of several blocks answers nothing at all when
    // fewer are left, so the image is read one block at a time into a larger buffer.
    constexpr int kBlock = 2048;
    std::vector<unsigned char> buffer(kBlock * 32);
    SInt64 done = 0;
    for (;;) {
        int got = 0;
        while (got < int(buffer.size())) {
            const int r = source->read_xt ? source->read_xt(source.get(), buffer.data() + got, kBlock)
                                          : source->read(source.get(), buffer.data() + got, kBlock);
            if (r < 0) return drop(ioErr, folder);
            if (r == 0) break;
            got += r;
        }
        if (got == 0) break;
        for (int put = 0; put < got;) {
            const ssize_t w = write(out, buffer.data() + put, std::size_t(got - put));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return drop(w < 0 ? OSErrFromErrno(errno) : OSErr(dskFulErr), imagePath);
            put += int(w);
        }
        done += got;
        if (progress) {
            if (OSErr e = progress(done, total)) return drop(e, imagePath);
        }
    }
    // libisofs reports a file it could not read only through the image's size.
    if (done != total) return drop(ioErr, folder);
    if (fsync(out) != 0 || close(out) != 0) {
        const int e = errno;
        unlink(temp.c_str());
        return RecordFailure(failure, OSErrFromErrno(e), imagePath);
    }
    if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, imagePath.c_str(), RENAME_NOREPLACE) != 0) {
        const int e = errno;
        unlink(temp.c_str());
        return RecordFailure(failure, OSErrFromErrno(e), imagePath);
    }
    if (int dir = open(folderOfImage.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return noErr;
}
