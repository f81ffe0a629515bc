// Replacing the contents of a file with a new version so that neither a crash, nor another
// writer in the same folder, nor another user who may write that folder can lose or redirect
// it. Every writer that rewrites a whole file (media annotations, catalog saves, the settings
// store, exported pictures) goes through this one class.
//
// Begin follows a symbolic link once (the file it names is the one rewritten, so the link stays
// a link; a link that names nothing is refused as no file), opens the folder of that file and
// works only relative to it from then on. An
// existing target must be a regular file this process may write: one it may not is refused
// with permErr before anything is made. The new contents go to a temporary file of the
// folder under a name of its own (the caller's prefix and a unique suffix), created
// exclusively and never through a link, and locked (an open-file-description lock) for as long
// as the rewrite holds it; temporary files of the same prefix that no writer holds any more
// are removed. Everything after the create goes through the descriptor.
//
// Commit flushes the new file, gives it the target's owner, group, extended attributes (POSIX
// ACLs included) and mode, checks that the temporary name still holds this very file and that
// the target is still the file Begin found, renames it over the target and flushes the folder.
// A target whose identity a new file cannot keep (several hard links, an owner or extended
// attributes this process may not give) is rewritten in place instead: the flushed new bytes
// are copied back into the original file, which is cut to their length and flushed, so every
// link, the owner and every attribute stay; that copy is not atomic.
//
// A failure before the rename (or before the copy back) leaves the target untouched and
// removes the temporary file. Every file operation passes the fault hook (platform/FileFaults.h):
// writes, length changes and flushes through the file references, the rename as kReplace and
// the folder flush as kFlushFolder.
#pragma once

#include "platform/Files.h"

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

struct SafeRewriteOptions {
    // The temporary file's name is this prefix, "-" and a unique suffix. Temporary files of the
    // prefix (the prefix alone, or followed by "-") that no writer holds are removed.
    std::string tempPrefix;
    // The permission bits of a target that does not exist yet (the umask applies).
    mode_t newFileMode = 0666;
    // Without it neither the file nor the folder is flushed: the replacement is still atomic for
    // every reader and survives a crash of the process, not necessarily one of the system.
    bool durable = true;
};

class SafeRewrite {
public:
    SafeRewrite() = default;
    ~SafeRewrite();  // abandons an uncommitted rewrite
    SafeRewrite(const SafeRewrite&) = delete;
    SafeRewrite& operator=(const SafeRewrite&) = delete;

    // Starts the rewrite of target (which need not exist). permErr for a file this process may
    // not write, notAFileErr for a folder or anything that is not a regular file.
    OSErr Begin(const FSSpec* target, const SafeRewriteOptions& options);
    // The temporary file, open for reading and writing, its mark at 0: write the new contents
    // through it with the File Manager calls. Owned by the rewrite.
    SInt16 RefNum() const { return tempRef_; }
    // Appends at the temporary file's mark.
    OSErr Write(const void* bytes, std::size_t count);
    SInt64 Written() const { return written_; }
    // A new read-only open of the file that will hold the new contents once Commit succeeded
    // (the temporary file, or the original when it is rewritten in place), made without
    // naming it again. The caller closes it; it is the spec of the target.
    OSErr OpenResultForReading(SInt16* refNum);
    // Puts the new contents in place. After an error Replaced() tells whether the target
    // already holds them (only the folder flush failed); otherwise the target is untouched.
    OSErr Commit();
    bool Replaced() const { return replaced_; }
    // Drops the temporary file; the target stays as it was.
    void Abandon();

    // The file rewritten (links resolved) and whether it is rewritten in place.
    const FSSpec& Target() const { return target_; }
    bool InPlace() const { return inPlace_; }
    // The errno behind the last failure (0 when none is known), for callers that speak errno.
    int LastErrno() const { return lastErrno_; }

private:
    OSErr Fail(int e);
    OSErr CreateTemp();
    OSErr MatchIdentity();
    OSErr CommitByRename();
    OSErr CommitInPlace();
    OSErr FlushFolder();

    SafeRewriteOptions options_;
    FSSpec target_;
    std::string name_;       // the target's name inside its folder
    std::string tempName_;
    int dirFd_ = -1;
    int originalFd_ = -1;    // read/write open of the existing target; -1 for a new file
    SInt16 tempRef_ = 0;
    dev_t tempDevice_ = 0;
    ino_t tempInode_ = 0;
    dev_t originalDevice_ = 0;
    ino_t originalInode_ = 0;
    mode_t mode_ = 0;
    SInt64 written_ = 0;
    bool inPlace_ = false;
    bool replaced_ = false;
    int lastErrno_ = 0;
};

// Removes the temporary files of prefix in the folder that no writer holds (their writers
// died). Begin does this itself; offered for the writers' tests.
void RemoveStaleTemporaryFiles(const std::string& folder, const std::string& prefix);
// The same for several prefixes in one reading of the folder (a large folder is listed once).
void RemoveStaleTemporaryFiles(const std::string& folder, const std::vector<std::string>& prefixes);
