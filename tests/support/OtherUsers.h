// Acting as other users in tests of what one user can do to another's files: a child forked
// by a test that runs as the super-user takes on other user and group ids for good, so the
// permission checks of the system apply to it for real. Elsewhere such tests are skipped.
#pragma once

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

// Ids no account on a test machine is expected to use.
constexpr uid_t kOwnerUid = 4201;
constexpr uid_t kMemberUid = 4202;
constexpr uid_t kStrangerUid = 4203;
constexpr gid_t kSharedGid = 4300;
constexpr uid_t kNobodyUid = 65534;
constexpr gid_t kNobodyGid = 65534;

inline bool CanBecomeOtherUsers() { return geteuid() == 0; }

// In a forked child only: gives up the super-user for good. false when the system refused, or
// when the folder the test works in cannot be reached and written by the new user.
inline bool BecomeUser(uid_t uid, gid_t gid, const std::vector<gid_t>& groups, const std::string& folder) {
    if (setgroups(groups.size(), groups.data()) != 0) return false;
    if (setresgid(gid, gid, gid) != 0) return false;
    if (setresuid(uid, uid, uid) != 0) return false;
    if (geteuid() != uid || getegid() != gid) return false;
    return folder.empty() || access(folder.c_str(), W_OK | X_OK) == 0;
}

// What a forked child answers when it could not become the user: the test is skipped.
constexpr int kCouldNotBecomeUser = 77;
