// Replacing a small file so that a crash at any moment leaves either the old or the new
// contents, never a mixture: the bytes go to a temporary file in the same folder, are flushed,
// the temporary file is renamed over the target and the folder is flushed.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

// The prefix of the temporary files made for target (its name followed by ".tmp-").
std::string AtomicTempPrefix(const std::string& target);
// Writes bytes as the new contents of target with the given permission bits. Answers 0 or the
// errno of the step that failed; on failure the target is untouched and no temporary file stays.
// Without durable the file and its folder are not flushed: the replacement is still atomic for
// every reader and survives a crash of the process, not necessarily one of the system.
int WriteFileAtomically(const std::string& target, std::string_view bytes, mode_t mode, bool durable = true);
// Removes temporary files of target left by a writer that died. Call only while holding the
// lock that serialises the writers of target.
void RemoveStaleAtomicTemps(const std::string& target);
