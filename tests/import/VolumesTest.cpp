// Volumes and stored paths: serial numbers read from real file-system images, the mount
// table, volume keys, and the conversions between native and stored paths.
#include "catalog/foldertree/FolderTree.h"
#include "catalog/foldertree/Volumes.h"

#include "platform/ByteOrder.h"
#include "platform/Files.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

std::string ReadAll(const std::string& path) { return TempFolder::Read(path); }

UInt32 LE32At(const std::string& bytes, std::size_t at) { return ReadLE32(bytes.data() + at); }

// Makes an image with the given tool; false when the tool is not installed.
bool MakeImage(const std::string& image, const std::string& sizeMB, const std::string& command) {
    // The tools live in sbin, which an ordinary user's PATH may lack.
    std::string cmd = "PATH=/usr/sbin:/sbin:$PATH; truncate -s " + sizeMB + "M '" + image + "' && " + command +
                      " '" + image + "' >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

// The serials Windows shows for these disks are what libblkid must give us, so that a catalog
// made there finds the disk here.
TEST(Volumes, SerialsOfRealFileSystemImages) {
    TempFolder dir;
    struct Case {
        const char* name;
        const char* command;
        const char* size;
        const char* label;
        UInt32 (*serialFromImage)(const std::string&);
    };
    const Case cases[] = {
        {"fat.img", "mkfs.fat -i 1234ABCD -n STICK", "2", "STICK",
         [](const std::string&) -> UInt32 { return 0x1234ABCD; }},
        {"fat32.img", "mkfs.fat -F 32 -i 0BADF00D -n BIGSTICK", "40", "BIGSTICK",
         [](const std::string& b) { return LE32At(b, 67); }},
        {"exfat.img", "mkfs.exfat -L CAMERA", "4", "CAMERA",
         [](const std::string& b) { return LE32At(b, 100); }},
        {"ntfs.img", "mkntfs -F -f -q -L ARCHIVE", "8", "ARCHIVE",
         [](const std::string& b) { return LE32At(b, 0x48); }},   // the low half of the 64-bit serial
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string image = dir / c.name;
        if (!MakeImage(image, c.size, c.command)) {
            ADD_FAILURE() << "could not run " << c.command << " (scripts/install-deps installs it)";
            continue;
        }
        VolumeIdentity id;
        ASSERT_TRUE(VolumeProbeDevice(image, &id));
        EXPECT_EQ(id.serial, c.serialFromImage(ReadAll(image)));
        EXPECT_EQ(id.label, c.label);
    }
    VolumeIdentity none;
    EXPECT_FALSE(VolumeProbeDevice(dir / "missing.img", &none));
    std::ofstream(dir / "zeros.img") << std::string(65536, '\0');
    EXPECT_FALSE(VolumeProbeDevice(dir / "zeros.img", &none));
}

TEST(Volumes, SerialFromUuidSpellings) {
    const struct {
        const char* uuid;
        UInt32 serial;
    } cases[] = {
        {"1234-ABCD", 0x1234ABCD},
        {"6bdd-f097", 0x6BDDF097},
        {"7490F962146F0345", 0x146F0345},
        {"00000000-0000-0000-0000-000000000001", 1},
        {"11111111-2222-3333-4444-555555555555", 0x11111111u ^ 0x22223333u ^ 0x44445555u ^ 0x55555555u},
        {"", 0},
        {"not a uuid", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(VolumeSerialFromUuid("", c.uuid), c.serial) << c.uuid;
}

// A mount table as /proc/self/mountinfo gives it, with a probe that knows these devices.
VolumeTable SampleTable() {
    const char* mountInfo =
        "28 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
        "40 28 0:30 / /proc rw - proc proc rw\n"
        "50 28 8:17 / /media/u/STICK rw,nosuid shared:7 - vfat /dev/sdb1 rw\n"
        "51 28 8:33 / /media/u/OLD\\040DISK rw - vfat /dev/sdc1 rw\n"
        "52 28 254:0 /srv/photos /mnt/pics rw - ext4 /dev/vda rw\n"
        "53 28 8:49 / /media/u/TWIN rw - ntfs3 /dev/sdd1 rw\n"
        "54 28 8:50 / /media/u/TWIN2 rw - ntfs3 /dev/sdd2 rw\n"
        "60 28 8:65 / /media/u/GONE rw - vfat /dev/sde1 rw\n"
        "61 28 8:66 / /media/u/GONE rw - vfat /dev/sdf1 rw\n"
        "garbage line\n";
    std::map<std::string, VolumeIdentity> ids = {
        {"/dev/vda", {0x0000006F, ""}},         {"/dev/sdb1", {0x1234ABCD, "STICK"}},
        {"/dev/sdc1", {0x00000005, "OLD DISK"}}, {"/dev/sdd1", {0x00000009, "TWIN"}},
        {"/dev/sdd2", {0x00000009, "TWIN2"}},    {"/dev/sde1", {0x00000042, "HIDDEN"}},
        {"/dev/sdf1", {0x00000043, "ONTOP"}},
    };
    VolumeTable table;
    VolumeTableFill(&table, mountInfo, [&](const VolumeTableEntry& mount, VolumeIdentity* id) {
        auto it = ids.find(mount.device);
        if (it == ids.end()) return false;
        *id = it->second;
        return true;
    });
    return table;
}

TEST(Volumes, MountTableIsReadWithItsEscapesAndHiddenMounts) {
    VolumeTable t = SampleTable();
    std::map<std::string, const VolumeTableEntry*> byPoint;
    for (const auto& v : t.volumes) byPoint[v.mountPoint] = &v;
    ASSERT_TRUE(byPoint.count("/media/u/OLD DISK"));
    EXPECT_EQ(byPoint["/media/u/OLD DISK"]->label, "OLD DISK");
    EXPECT_EQ(byPoint["/mnt/pics"]->mountRoot, "/srv/photos");
    EXPECT_EQ(byPoint["/media/u/GONE"]->serial, 0x43u);   // the later mount hides the earlier
    EXPECT_FALSE(byPoint["/proc"]->valid);
    EXPECT_EQ(byPoint["/media/u/STICK"]->letter, '@');
}

TEST(Volumes, KeysParseAndDisplay) {
    EXPECT_EQ(VolumeKeyMake('E', 1234567890, "STICK"), "E\t1234567890\tSTICK");
    char letter = 0;
    UInt32 serial = 0;
    std::string label;
    ASSERT_TRUE(VolumeKeyParse("D\t42\tMy Disk", &letter, &serial, &label));
    EXPECT_EQ(letter, 'D');
    EXPECT_EQ(serial, 42u);
    EXPECT_EQ(label, "My Disk");
    EXPECT_FALSE(VolumeKeyParse("D\t42", nullptr, nullptr, nullptr));
    EXPECT_FALSE(VolumeKeyParse("Photos", nullptr, nullptr, nullptr));

    VolumeTable t = SampleTable();
    const struct {
        const char* key;
        const char* shown;
    } cases[] = {
        {"E\t1234567890\tSTICK", "STICK (E:)"},
        {"C\t77\t", " (C:)"},                       // empty label: the text begins with the blank
        {"C\t0\tWhatever", "C:"},                   // serial 0: the letter only
        {"@\t305441741\tSTICK", "STICK"},           // a mount: its label
        {"@\t111\t", "/"},                          // no label: where it is mounted now
        {"@\t3054\t", "0000-0BEE"},                 // neither: the serial
        {"Photos", "Photos"},
    };
    for (const auto& c : cases) EXPECT_EQ(VolumeKeyDisplay(c.key, &t), c.shown) << c.key;
}

TEST(Volumes, NativeToStored) {
    VolumeTable t = SampleTable();
    const struct {
        const char* native;
        const char* stored;
        OSErr err;
    } cases[] = {
        {"/media/u/STICK/DCIM/100", "@\t305441741\tSTICK\\DCIM\\100", noErr},
        {"/media/u/STICK/", "@\t305441741\tSTICK", noErr},
        {"/media/u/STICKY/a", "@\t111\t\\media\\u\\STICKY\\a", noErr},   // not below the stick
        {"/home/u/Pictures", "@\t111\t\\home\\u\\Pictures", noErr},
        {"/mnt/pics/2024", "@\t111\t\\srv\\photos\\2024", noErr},        // a bind mount: the path in its file system
        {"/proc/self", "/proc/self", noErr},                              // no serial: stays native
        {"relative/path", "relative/path", noErr},
        {"", "", noErr},
        {"/home/u/a\\b", "", bdNamErr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.native);
        std::string stored;
        EXPECT_EQ(FolderNativeToStored(t, c.native, &stored), c.err);
        if (c.err == noErr) {
            EXPECT_EQ(stored, c.stored);
        }
    }
}

TEST(Volumes, StoredToNative) {
    VolumeTable t = SampleTable();
    const struct {
        const char* stored;
        const char* native;
        OSErr err;
    } cases[] = {
        // Written on Windows with the stick on E:, found here by its serial.
        {"E\t305441741\tSTICK\\DCIM\\100", "/media/u/STICK/DCIM/100", noErr},
        {"E\t305441741\tSTICK", "/media/u/STICK", noErr},
        {"@\t111\t\\srv\\photos\\2024", "/srv/photos/2024", noErr},
        {"@\t111\t", "/", noErr},
        // Two disks with one serial: the one with the stored label.
        {"F\t9\tTWIN2\\x", "/media/u/TWIN2/x", noErr},
        {"F\t9\tTWIN\\x", "/media/u/TWIN/x", noErr},
        {"G\t99\tNOWHERE\\x", "", fnfErr},                 // not mounted
        {"H\t66\tHIDDEN\\x", "", fnfErr},                   // mounted under another mount
        {"\\\\server\\share\\x", "\\\\server\\share\\x", noErr},   // network paths stay
        {"Photos\\x", "Photos\\x", noErr},                 // no key: a native path
        // A path that climbs resolves to nothing, however it is written.
        {"E\t305441741\tSTICK\\DCIM\\..\\..\\..\\etc", "", fnfErr},
        {"@\t111\t\\srv\\..\\root", "", fnfErr},
        {"@\t111\t\\srv\\.\\photos", "", fnfErr},
        {"/home/u/../../etc", "", fnfErr},
        {"..\\x", "", fnfErr},
        {"\\\\server\\share\\..\\x", "", fnfErr},
        {"@\t111\t\\srv\\..photos\\a..", "/srv/..photos/a..", noErr},   // dots inside a name are a name
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        std::string native = "unchanged";
        EXPECT_EQ(FolderStoredToNative(t, c.stored, &native), c.err);
        EXPECT_EQ(native, c.native);
    }
}

TEST(Volumes, PathStyleAndSplitting) {
    const struct {
        const char* text;
        int style;
    } styles[] = {{"Mac HD:Photos:a", 0}, {"C:\\Photos\\a", 1}, {"HD:a", 0}, {"a\\b", 1}, {"a:b:c\\d", 0},
                  {"plain", 2},          {"", 2}};
    for (const auto& c : styles) EXPECT_EQ(FolderPathStyle(c.text), c.style) << c.text;

    const struct {
        const char* path;
        char sep;
        const char* folder;
        const char* name;
    } splits[] = {{"vol\\a\\b", '\\', "vol\\a", "b"},
                  {"vol\\a\\b\\", '\\', "vol\\a", "b"},
                  {"\\\\host", '\\', "", "\\\\host"},
                  {"\\\\host\\share", '\\', "\\\\host", "share"},
                  {"name", '\\', "", "name"},
                  {"HD:Photos:a", ':', "HD:Photos", "a"}};
    for (const auto& c : splits) {
        std::string folder, name;
        FolderSplitPath(c.path, c.sep, &folder, &name);
        EXPECT_EQ(folder, c.folder) << c.path;
        EXPECT_EQ(name, c.name) << c.path;
    }
}

// On the running system: a folder filed by its stored path resolves to where it is, and a
// folder that went away is reported missing and removed when it holds nothing.
TEST(Volumes, NodesResolveOnThisSystem) {
    TempFolder dir;
    std::filesystem::create_directories(dir / "photos/2024");
    std::unique_ptr<FolderTree, void (*)(FolderTree*)> tree(FolderTreeNew(nullptr), FolderTreeFree);
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpecFromPath(dir / "photos/2024", &spec), noErr);
    std::string stored;
    ASSERT_EQ(FolderTreeSpecToStored(tree.get(), &spec, &stored), noErr);
    ASSERT_TRUE(VolumeKeyParse(stored.substr(0, stored.find('\\')), nullptr, nullptr, nullptr)) << stored;
    FolderNode* node = FolderTreeInsertPath(tree.get(), stored, nullptr);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->unicodeName, u"2024");
    FSSpec resolved;
    ASSERT_EQ(FolderNodeResolve(tree.get(), node, &resolved), noErr);
    EXPECT_EQ(resolved.path, spec.path);

    std::filesystem::remove_all(dir / "photos/2024");
    EXPECT_NE(FolderNodeResolve(tree.get(), node, &resolved), noErr);
    FolderTreeCheckFolders(tree.get(), nullptr, true, true, nullptr);
    EXPECT_EQ(FolderTreeFindNodeByPath(tree.get(), stored), nullptr);
    // Its parent is still there, so it stays.
    EXPECT_NE(FolderTreeFindNodeByPath(tree.get(), stored.substr(0, stored.rfind('\\'))), nullptr);
}

}  // namespace
