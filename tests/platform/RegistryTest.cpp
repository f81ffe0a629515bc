#include "platform/Registry.h"

#include "support/SettingsSandbox.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const char16_t kProgramKey[] = u"SOFTWARE\\Lyrex\\Ondrel2";

// An open key closed at the end of the scope.
struct Key {
    HKEY h = nullptr;
    ~Key() {
        if (h) RegCloseKey(h);
    }
};

LONG Create(HKEY root, const char16_t* path, Key* key, REGSAM access = KEY_ALL_ACCESS,
            DWORD* disposition = nullptr) {
    return RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key->h,
                           disposition);
}

LONG Set(HKEY key, const char16_t* name, DWORD type, const std::vector<std::uint8_t>& data) {
    return RegSetValueExW(key, name, 0, type, data.data(), DWORD(data.size()));
}

struct Stored {
    LONG result = -1;
    DWORD type = 0;
    std::vector<std::uint8_t> data;
};

Stored Query(HKEY key, const char16_t* name) {
    Stored s;
    DWORD size = 0;
    s.result = RegQueryValueExW(key, name, nullptr, &s.type, nullptr, &size);
    if (s.result != ERROR_SUCCESS) return s;
    s.data.resize(size);
    s.result = RegQueryValueExW(key, name, nullptr, &s.type, s.data.data(), &size);
    s.data.resize(size);
    return s;
}

std::vector<std::uint8_t> Utf16Data(std::u16string_view s) {
    std::vector<std::uint8_t> d;
    for (char16_t c : s) {
        d.push_back(std::uint8_t(c));
        d.push_back(std::uint8_t(c >> 8));
    }
    d.insert(d.end(), {0, 0});
    return d;
}

// Collects what the stores report.
struct ProblemLog {
    std::vector<std::pair<LONG, std::string>> entries;
    ProblemLog() {
        SetRegistryProblemHook([this](LONG code, const std::string& m) { entries.emplace_back(code, m); });
    }
    ~ProblemLog() { SetRegistryProblemHook(nullptr); }
};

int RunChild(const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST(Registry, ValuesOfEveryTypeSurviveAReload) {
    SettingsSandbox sandbox;
    std::vector<std::uint8_t> everyByte;
    for (int i = 0; i < 256; ++i) everyByte.push_back(std::uint8_t(i));
    struct Case {
        const char16_t* name;
        DWORD type;
        std::vector<std::uint8_t> data;
    };
    const std::vector<Case> cases = {
        {u"Text", REG_SZ, Utf16Data(u"Ærøskøbing – 北京 – 🎞")},
        {u"Expand", REG_EXPAND_SZ, Utf16Data(u"%TEMP%\\x")},
        {u"Number", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
        {u"Bytes", REG_BINARY, everyByte},
        {u"Empty", REG_BINARY, {}},
        {u"Unterminated", REG_SZ, {0x61, 0x00, 0x62}},
    };
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        Key key;
        ASSERT_EQ(Create(root, kProgramKey, &key), ERROR_SUCCESS);
        for (const Case& c : cases) ASSERT_EQ(Set(key.h, c.name, c.type, c.data), ERROR_SUCCESS);
    }
    // Another process reads them from the files.
    int child = RunChild([&] {
        RegistryForgetCachedStores();
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            Key key;
            if (RegOpenKeyExW(root, kProgramKey, 0, KEY_READ, &key.h) != ERROR_SUCCESS) return 1;
            for (const Case& c : cases) {
                Stored s = Query(key.h, c.name);
                if (s.result != ERROR_SUCCESS || s.type != c.type || s.data != c.data) return 2;
            }
        }
        return 0;
    });
    EXPECT_EQ(child, 0);
    // And this process after forgetting what it had read.
    RegistryForgetCachedStores();
    Key key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"software\\LYREX\\ondrel2", 0, KEY_READ, &key.h),
              ERROR_SUCCESS);
    for (const Case& c : cases) {
        Stored s = Query(key.h, c.name);
        EXPECT_EQ(s.result, ERROR_SUCCESS);
        EXPECT_EQ(s.type, c.type);
        EXPECT_EQ(s.data, c.data);
    }
    EXPECT_TRUE(std::filesystem::exists(sandbox.UserStore()));
    EXPECT_TRUE(std::filesystem::exists(sandbox.MachineStore()));
}

TEST(Registry, QueryFollowsTheSizeProtocol) {
    SettingsSandbox sandbox;
    Key key;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, kProgramKey, &key), ERROR_SUCCESS);
    ASSERT_EQ(Set(key.h, u"V", REG_BINARY, {1, 2, 3, 4, 5, 6}), ERROR_SUCCESS);

    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExW(key.h, u"V", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, DWORD(REG_BINARY));

    BYTE small[4] = {9, 9, 9, 9};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key.h, u"V", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(small[0], 9);   // nothing copied

    BYTE big[10] = {};
    size = sizeof big;
    EXPECT_EQ(RegQueryValueExW(key.h, u"V", nullptr, nullptr, big, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(big[5], 6);

    EXPECT_EQ(RegQueryValueExW(key.h, u"v", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExW(key.h, u"Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExW(key.h, u"V", nullptr, nullptr, big, nullptr), ERROR_INVALID_PARAMETER);
}

TEST(Registry, KeysOpenCreateAndDeleteAsTheRegistryDoes) {
    SettingsSandbox sandbox;
    Key missing;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &missing.h), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing.h, nullptr);

    DWORD disposition = 0;
    Key a;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"SOFTWARE\\Lyrex\\Ondrel2\\", &a, KEY_ALL_ACCESS, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    Key again;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"software\\lyrex\\ONDREL2", &again, KEY_ALL_ACCESS, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));

    // Relative to an open key; the created key is reachable from the root.
    Key child;
    ASSERT_EQ(Create(a.h, u"Preferences\\LABL", &child), ERROR_SUCCESS);
    Key viaRoot;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"SOFTWARE\\Lyrex\\Ondrel2\\Preferences\\labl", 0, KEY_READ,
                            &viaRoot.h),
              ERROR_SUCCESS);

    // A read-only key writes nothing; an unknown handle is refused.
    Key readOnly;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &readOnly.h), ERROR_SUCCESS);
    EXPECT_EQ(Set(readOnly.h, u"X", REG_BINARY, {1}), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueW(readOnly.h, u"X"), ERROR_ACCESS_DENIED);
    Key sub;
    EXPECT_EQ(Create(readOnly.h, u"Sub", &sub), ERROR_ACCESS_DENIED);
    int local = 0;
    EXPECT_EQ(Set(reinterpret_cast<HKEY>(&local), u"X", REG_BINARY, {1}), ERROR_INVALID_HANDLE);
    HKEY closed = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &closed), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(closed), ERROR_INVALID_HANDLE);

    // A key name longer than 255 characters.
    Key tooLong;
    std::u16string longName(256, u'k');
    EXPECT_EQ(Create(HKEY_CURRENT_USER, longName.c_str(), &tooLong), ERROR_INVALID_PARAMETER);

    // Deleting: not while it has sub-keys; a deleted key's open handle says so.
    EXPECT_EQ(RegDeleteKeyW(a.h, u"Preferences"), ERROR_ACCESS_DENIED);
    ASSERT_EQ(Set(child.h, u"1", REG_BINARY, {1, 2}), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(a.h, u"Preferences\\LABL"), ERROR_SUCCESS);
    EXPECT_EQ(Set(child.h, u"1", REG_BINARY, {1}), ERROR_KEY_DELETED);
    EXPECT_EQ(Query(child.h, u"1").result, ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteKeyW(a.h, u"Preferences\\LABL"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(a.h, u""), ERROR_INVALID_PARAMETER);

    // Roots without a store hold nothing; other handles are not roots.
    Key classes;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u".jpg", 0, KEY_READ, &classes.h), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Create(HKEY_USERS, u"x", &classes), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_CONFIG, u"", 0, KEY_READ, &classes.h), ERROR_INVALID_HANDLE);
}

TEST(Registry, DeletingAValueRemovesItFromTheFile) {
    SettingsSandbox sandbox;
    Key key;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, kProgramKey, &key), ERROR_SUCCESS);
    ASSERT_EQ(Set(key.h, u"Keep", REG_BINARY, {1}), ERROR_SUCCESS);
    ASSERT_EQ(Set(key.h, u"Drop", REG_BINARY, {2}), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key.h, u"DROP"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key.h, u"Drop"), ERROR_FILE_NOT_FOUND);
    RegistryForgetCachedStores();
    EXPECT_EQ(Query(key.h, u"Drop").result, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Query(key.h, u"Keep").data, (std::vector<std::uint8_t>{1}));
    EXPECT_EQ(SettingsSandbox::ReadFile(sandbox.UserStore()).find("Drop"), std::string::npos);
}

TEST(Registry, EnumerationListsKeysByNameAndValuesInOrderSet) {
    SettingsSandbox sandbox;
    Key key;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, kProgramKey, &key), ERROR_SUCCESS);
    for (const char16_t* n : {u"beta", u"Alpha", u"gamma"}) {
        Key sub;
        ASSERT_EQ(Create(key.h, n, &sub), ERROR_SUCCESS);
    }
    for (const char16_t* n : {u"Recent2", u"Recent10", u"Recent1"})
        ASSERT_EQ(Set(key.h, n, REG_SZ, Utf16Data(n)), ERROR_SUCCESS);

    std::vector<std::u16string> keys, values;
    for (DWORD i = 0;; ++i) {
        char16_t name[64];
        DWORD length = 64;
        LONG r = RegEnumKeyExW(key.h, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(r, ERROR_SUCCESS);
        EXPECT_EQ(name[length], 0);
        keys.emplace_back(name, length);
    }
    for (DWORD i = 0;; ++i) {
        char16_t name[64];
        DWORD length = 64, type = 0, size = 0;
        LONG r = RegEnumValueW(key.h, i, name, &length, nullptr, &type, nullptr, &size);
        if (r == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(r, ERROR_SUCCESS);
        EXPECT_EQ(type, DWORD(REG_SZ));
        EXPECT_EQ(size, 2 * (length + 1));
        values.emplace_back(name, length);
    }
    EXPECT_EQ(keys, (std::vector<std::u16string>{u"Alpha", u"beta", u"gamma"}));
    EXPECT_EQ(values, (std::vector<std::u16string>{u"Recent2", u"Recent10", u"Recent1"}));

    char16_t tiny[4];
    DWORD length = 4;
    EXPECT_EQ(RegEnumKeyExW(key.h, 0, tiny, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(length, 5u);
    length = 4;
    BYTE data[2];
    DWORD size = sizeof data;
    EXPECT_EQ(RegEnumValueW(key.h, 1, tiny, &length, nullptr, nullptr, data, &size), ERROR_MORE_DATA);
}

TEST(Registry, WritesOfTwoProcessesAreNotLost) {
    SettingsSandbox sandbox;
    {
        Key key;
        ASSERT_EQ(Create(HKEY_CURRENT_USER, kProgramKey, &key), ERROR_SUCCESS);
    }
    constexpr int kChildren = 4, kWrites = 15;
    std::vector<pid_t> pids;
    for (int c = 0; c < kChildren; ++c) {
        pid_t pid = fork();
        if (pid == 0) {
            for (int i = 0; i < kWrites; ++i) {
                Key key;
                if (RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_WRITE, &key.h)) _exit(1);
                std::u16string name = u"c" + std::u16string(1, char16_t(u'0' + c)) + u"-" +
                                      std::u16string(1, char16_t(u'a' + i));
                if (Set(key.h, name.c_str(), REG_DWORD, {std::uint8_t(c), std::uint8_t(i), 0, 0})) _exit(2);
            }
            _exit(0);
        }
        pids.push_back(pid);
    }
    for (pid_t pid : pids) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    // This process had the store loaded before; it sees the children's writes.
    Key key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &key.h), ERROR_SUCCESS);
    int found = 0;
    for (int c = 0; c < kChildren; ++c) {
        for (int i = 0; i < kWrites; ++i) {
            std::u16string name = u"c" + std::u16string(1, char16_t(u'0' + c)) + u"-" +
                                  std::u16string(1, char16_t(u'a' + i));
            Stored s = Query(key.h, name.c_str());
            found += s.result == ERROR_SUCCESS &&
                     s.data == std::vector<std::uint8_t>{std::uint8_t(c), std::uint8_t(i), 0, 0};
        }
    }
    EXPECT_EQ(found, kChildren * kWrites);
    EXPECT_TRUE(SettingsSandbox::Entries(sandbox.Root() + "/config/Lyrex/Ondrel2", "user-registry.txt.tmp-").empty());
}

TEST(Registry, AStrayTemporaryFileNeitherShowsNorStays) {
    SettingsSandbox sandbox;
    Key key;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, kProgramKey, &key), ERROR_SUCCESS);
    ASSERT_EQ(Set(key.h, u"Old", REG_BINARY, {1, 2, 3}), ERROR_SUCCESS);
    const std::string before = SettingsSandbox::ReadFile(sandbox.UserStore());
    // What a writer that died between writing and renaming leaves behind.
    std::string stray = sandbox.UserStore() + ".tmp-Xy12Zq";
    SettingsSandbox::WriteFile(stray, before.substr(0, before.size() / 2));
    RegistryForgetCachedStores();
    EXPECT_EQ(Query(key.h, u"Old").data, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(SettingsSandbox::ReadFile(sandbox.UserStore()), before);
    ASSERT_EQ(Set(key.h, u"New", REG_BINARY, {4}), ERROR_SUCCESS);
    EXPECT_FALSE(std::filesystem::exists(stray));
}

TEST(Registry, AWriterKilledMidSaveLeavesAWholeStore) {
    SettingsSandbox sandbox;
    {
        Key key;
        ASSERT_EQ(Create(HKEY_CURRENT_USER, kProgramKey, &key), ERROR_SUCCESS);
        ASSERT_EQ(Set(key.h, u"Big", REG_BINARY, std::vector<std::uint8_t>(200000, 0)), ERROR_SUCCESS);
    }
    std::mt19937 random(12345);
    for (int round = 0; round < 20; ++round) {
        pid_t pid = fork();
        if (pid == 0) {
            // Rewrites a large value over and over; every version is one byte value repeated.
            Key key;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_WRITE, &key.h)) _exit(1);
            for (int i = 1;; ++i)
                Set(key.h, u"Big", REG_BINARY, std::vector<std::uint8_t>(200000, std::uint8_t(i)));
        }
        usleep(2000 + random() % 20000);
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);

        ProblemLog log;
        RegistryForgetCachedStores();
        Key key;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &key.h), ERROR_SUCCESS)
            << "round " << round;
        Stored s = Query(key.h, u"Big");
        ASSERT_EQ(s.result, ERROR_SUCCESS) << "round " << round;
        ASSERT_EQ(s.data.size(), 200000u);
        EXPECT_EQ(std::count(s.data.begin(), s.data.end(), s.data[0]), 200000) << "round " << round;
        EXPECT_TRUE(log.entries.empty()) << log.entries[0].second;
    }
}

TEST(Registry, ACorruptStoreIsReportedAndSetAside) {
    SettingsSandbox sandbox;
    {
        Key key;
        ASSERT_EQ(Create(HKEY_CURRENT_USER, kProgramKey, &key), ERROR_SUCCESS);
        ASSERT_EQ(Set(key.h, u"A", REG_BINARY, {1}), ERROR_SUCCESS);
        ASSERT_EQ(Set(key.h, u"B", REG_BINARY, std::vector<std::uint8_t>(100, 7)), ERROR_SUCCESS);
    }
    // Cut inside the second value: the first one must not be taken on its own.
    std::string whole = SettingsSandbox::ReadFile(sandbox.UserStore());
    std::string damaged = whole.substr(0, whole.find("\"B\"") + 30);
    SettingsSandbox::WriteFile(sandbox.UserStore(), damaged);

    ProblemLog log;
    Key key;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &key.h), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].first, ERROR_BADDB);
    EXPECT_NE(log.entries[0].second.find(sandbox.UserStore()), std::string::npos);

    auto aside = SettingsSandbox::Entries(sandbox.Root() + "/config/Lyrex/Ondrel2", "user-registry.txt.corrupt-");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(SettingsSandbox::ReadFile(sandbox.Root() + "/config/Lyrex/Ondrel2/" + aside[0]), damaged);
    EXPECT_FALSE(std::filesystem::exists(sandbox.UserStore()));

    // The settings start afresh and are written normally; the damaged file stays set aside.
    ASSERT_EQ(Create(HKEY_CURRENT_USER, kProgramKey, &key), ERROR_SUCCESS);
    EXPECT_EQ(Set(key.h, u"C", REG_BINARY, {3}), ERROR_SUCCESS);
    EXPECT_EQ(Query(key.h, u"A").result, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(log.entries.size(), 1u);

    // A second damaged file gets a name of its own.
    SettingsSandbox::WriteFile(sandbox.UserStore(), "garbage\n");
    RegistryForgetCachedStores();
    EXPECT_EQ(Query(key.h, u"C").result, ERROR_KEY_DELETED);
    EXPECT_EQ(SettingsSandbox::Entries(sandbox.Root() + "/config/Lyrex/Ondrel2", "user-registry.txt.corrupt-").size(),
              2u);
}

TEST(Registry, AnUnreadableStoreIsNeverOverwritten) {
    SettingsSandbox sandbox;
    // A folder where the store file should be: it cannot be read as a store.
    std::filesystem::create_directories(sandbox.UserStore());
    ProblemLog log;
    Key key;
    EXPECT_EQ(Create(HKEY_CURRENT_USER, kProgramKey, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueExW(HKEY_CURRENT_USER, u"X", 0, REG_BINARY, nullptr, 0), ERROR_REGISTRY_IO_FAILED);
    ASSERT_FALSE(log.entries.empty());
    EXPECT_EQ(log.entries[0].first, ERROR_REGISTRY_IO_FAILED);
    EXPECT_TRUE(std::filesystem::is_directory(sandbox.UserStore()));
    // Reported once, not at every call.
    std::size_t reports = log.entries.size();
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &key.h), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(log.entries.size(), reports);
}

TEST(Registry, AMachineStoreThatCannotBeWrittenOpensReadOnly) {
    // File permissions do not bind the super-user: the reading user is an unprivileged one.
    if (std::string why = UnprivilegedUnavailable(); !why.empty()) GTEST_SKIP() << why;
    SettingsSandbox sandbox;
    {
        Key key;
        ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, kProgramKey, &key), ERROR_SUCCESS);
        ASSERT_EQ(Set(key.h, u"Path", REG_SZ, Utf16Data(u"/opt/lyrex")), ERROR_SUCCESS);
    }
    // Readable by everyone, writable by no one but the super-user.
    OpenToOthers(sandbox.Root(), 0755);
    OpenToOthers(sandbox.MachineStore(), 0444);
    OpenToOthers(sandbox.Root() + "/machine", 0555);
    auto user = StartUnprivileged([](ChildProcess& self) {
        RegistryForgetCachedStores();
        Key key;
        const LONG writable = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProgramKey, 0, KEY_ALL_ACCESS, &key.h);
        const LONG readable = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProgramKey, 0, KEY_READ, &key.h);
        const bool value = readable == ERROR_SUCCESS && Query(key.h, u"Path").data == Utf16Data(u"/opt/lyrex");
        self.Send(std::to_string(writable) + " " + std::to_string(readable) + " " + std::to_string(value));
        return 0;
    });
    EXPECT_EQ(user->Receive(), std::to_string(ERROR_ACCESS_DENIED) + " " + std::to_string(ERROR_SUCCESS) + " 1");
    EXPECT_EQ(user->Wait(), 0);
    OpenToOthers(sandbox.Root() + "/machine", 0755);
}

TEST(Registry, StoresFollowTheirEnvironment) {
    SettingsSandbox sandbox;
    EXPECT_EQ(RegistryStorePath(HKEY_CURRENT_USER), sandbox.UserStore());
    EXPECT_EQ(RegistryStorePath(HKEY_LOCAL_MACHINE), sandbox.MachineStore());
    sandbox.Set("XDG_CONFIG_HOME", "relative/path");   // ignored, as XDG says
    sandbox.Set("HOME", sandbox.Root() + "/home");
    EXPECT_EQ(RegistryStorePath(HKEY_CURRENT_USER), sandbox.Root() + "/home/.config/Lyrex/Ondrel2/user-registry.txt");
    EXPECT_EQ(RegistryStorePath(HKEY_CLASSES_ROOT), "");
}

}  // namespace
