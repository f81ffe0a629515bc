// Running part of a test as a user without privileges. File and folder permissions do not
// bind the super-user, so a test of what a read-only folder or an unwritable file does runs
// its body in a child process that, when the tests run as root, drops to the user and group
// "nobody"/"nogroup" first. Folders the body needs must be opened to others (OpenToOthers).
#pragma once

#include "support/ChildProcess.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>

// The ids of the unprivileged user the body runs as; false when the machine has none.
inline bool UnprivilegedIds(uid_t* uid, gid_t* gid) {
    const passwd* user = getpwnam("nobody");
    if (!user) return false;
    *uid = user->pw_uid;
    const group* g = getgrnam("nogroup");
    *gid = g ? g->gr_gid : user->pw_gid;
    return true;
}

// Why the body cannot run without privileges here, or empty when it can.
inline std::string UnprivilegedUnavailable() {
    if (geteuid() != 0) return {};
    uid_t uid;
    gid_t gid;
    if (!UnprivilegedIds(&uid, &gid)) return "no user \"nobody\" to drop to";
    return {};
}

// Lets any user pass through and list a folder the test made (mkdtemp makes them 0700).
inline void OpenToOthers(const std::string& path, mode_t mode = 0777) { chmod(path.c_str(), mode); }

// Starts body in a child process running without privileges; the body talks to the test
// through the child's pipes and answers its exit status. A child that cannot drop its
// privileges ends with status 120 before the body runs.
inline std::unique_ptr<ChildProcess> StartUnprivileged(const std::function<int(ChildProcess& self)>& body) {
    return std::make_unique<ChildProcess>([body](ChildProcess& self) {
        if (geteuid() == 0) {
            uid_t uid;
            gid_t gid;
            if (!UnprivilegedIds(&uid, &gid)) return 120;
            if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0) return 120;
        }
        return body(self);
    });
}
