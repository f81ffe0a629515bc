// Copying, moving and renaming one of the user's media files so that neither the file nor
// another file of the same name can be lost, and nothing is left half done.
//
// A copy is written to a temporary file of the target's folder, flushed (fsync), its length
// checked against the source (whose length and modification time must not have changed meanwhile),
// given the source's permissions and modification time, and only then renamed to the target's
// name: never over an existing file unless a replace was asked for, and then in one atomic
// rename. A move within one file system is one rename; across file systems it is such a copy,
// read back and compared with the source, followed by the deletion of the source; when the
// source cannot be deleted the copy is taken back (and a file it replaced put back), so a move
// has either happened or not. A file being replaced keeps a second hidden name until the step is
// done, so its own name holds the old or the complete new file even after a crash.
// Names are compared exactly: two names differing only in case are two files.
//
// A media file carries its side files with it (foundation/files/SideFiles.h: the sound
// annotation recorded beside a picture). A copy writes all of them before any takes its name; a
// move or rename takes them first and takes them back, with the target's own files it replaced,
// when the media file's step fails.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Called while a file's bytes are copied (bytes done, bytes in all); a non-zero answer stops
// the copy, which is then taken back, and becomes the copy's answer (userCanceledErr for a
// cancel).
using CopyProgressProc = std::function<OSErr(SInt64 done, SInt64 total)>;

// What a failed step was working on: the file named in the report to the user.
struct FileFailure {
    OSErr err = noErr;
    std::string path;
};

// Notes err and path in *failure (when there is one) and answers err.
inline OSErr RecordFailure(FileFailure* failure, OSErr err, const std::string& path) {
    if (failure) {
        failure->err = err;
        failure->path = path;
    }
    return err;
}

// Copies the file source to the path target (a file of that name must not exist unless
// replace). dupFNErr when target exists and replace is false; notAFileErr when source is not a
// regular file; the target is then untouched. On success the copy is durable.
OSErr CopyFileSafely(const FSSpec& source, const FSSpec& target, bool replace, const CopyProgressProc& progress,
                     FileFailure* failure = nullptr);
// Moves the file source to the path target (folder and name). dupFNErr when target exists and
// replace is false; with replace an existing target is replaced. Across file systems: copy,
// flush, length check, then the source is deleted.
OSErr MoveFileSafely(const FSSpec& source, const FSSpec& target, bool replace, const CopyProgressProc& progress,
                     FileFailure* failure = nullptr);
// Renames the file inside its folder through a temporary name, so that a change of letter case
// alone takes effect on file systems that ignore case, and never onto another file (dupFNErr);
// when the second step fails the file gets its old name back. bdNamErr for a name holding "/"
// or equal to "." or "..", or an empty one.
OSErr SafeRenameFile(const FSSpec& file, std::string_view newName, FSSpec* renamed);

// True when the two paths name the same folder (the same file-system object, not the same text).
bool SameFolderPath(const std::string& a, const std::string& b);

// The one-file steps above applied to a media file together with its side files. The side
// files go first; when the media file's step fails they are taken back. The target is the
// media file's new full path; side files go beside it.
OSErr CopyMediaFile(const FSSpec& source, const FSSpec& target, bool replace, const CopyProgressProc& progress,
                    FileFailure* failure);
OSErr MoveMediaFile(const FSSpec& source, const FSSpec& target, bool replace, const CopyProgressProc& progress,
                    FileFailure* failure);
// Renames a media file and its side files inside their folder; caseOnly goes through
// SafeRenameFile (a change of letter case), otherwise each is one rename that never replaces.
OSErr RenameMediaFile(const FSSpec& file, std::string_view newName, bool throughTemporaryName, FSSpec* renamed,
                      FileFailure* failure);
