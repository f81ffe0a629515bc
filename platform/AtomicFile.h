// Replacing a small file so that a crash at any moment leaves either the old or the new
// contents, never a mixture: a thin errno-speaking front of the safe rewrite
// (platform/SafeRewrite.h) for callers that hold their new contents in memory.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

// The prefix of the temporary files made for target (its name followed by ".tmp").
std::string AtomicTempPrefix(const std::string& target);
// Writes bytes as the new contents of target; a new target gets the permission bits of mode
// (the umask applies), an existing one keeps its own, its owner and its attributes. Answers 0
// or the errno of the step that failed; on failure the target is untouched and no temporary
// file stays. Without durable the file and its folder are not flushed: the replacement is
// still atomic for every reader and survives a crash of the process, not necessarily one of
// the system.
int WriteFileAtomically(const std::string& target, std::string_view bytes, mode_t mode, bool durable = true);
