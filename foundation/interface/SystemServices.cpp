#include "foundation/interface/SystemServices.h"

#include "foundation/text/PString.h"
#include "foundation/text/Unicode.h"

#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

OSErr LoadLibraryChecked(void** module, const char* fileName) {
    if (!module) return paramErr;
    *module = fileName && *fileName ? dlopen(fileName, RTLD_NOW | RTLD_LOCAL) : nullptr;
    return *module ? OSErr(noErr) : OSErr(kLoadLibraryErr);
}

void FreeLibraryChecked(void** module) {
    if (!module || !*module) return;
    dlclose(*module);
    *module = nullptr;
}

void* GetProcAddressChecked(void* module, const char* name) {
    if (!module || !name) return nullptr;
    return dlsym(module, name);
}

void GetUserNamePStr(StringPtr name) {
    if (!name) return;
    name[0] = 0;
    std::string user;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buf(size_t(size > 0 ? size : 16384));
    passwd pw{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_name)
        user = found->pw_name;
    if (user.empty()) {
        const char* env = std::getenv("USER");
        if (env) user = env;
    }
    std::string ansi = Utf8ToAnsi(user);
    PStrFromBytes(name, ansi.data(), long(ansi.size()));
}
