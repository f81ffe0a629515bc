#include "CatalogBenchData.h"

#include "catalog/fields/FieldIds.h"
#include "catalog/items/ItemChanges.h"
#include "foundation/text/PString.h"
#include "media/kinds/CatalogThumbnail.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "platform/MacDates.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A small fixed generator, so every run makes the same catalog.
struct Random {
    std::uint64_t state;
    explicit Random(std::uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return std::uint32_t(state >> 16);
    }
    int Below(int n) { return int(Next() % std::uint32_t(n)); }
    double Unit() { return (Next() & 0xFFFFFF) / double(0x1000000); }
};

const char* const kSyllables[] = {"ka", "lo", "mi", "ren", "sa", "tor", "vel", "zu", "ne", "fi",
                                  "dar", "quo", "bel", "ith", "mar", "oss", "pen", "ul", "yr", "gan"};

std::string Word(int n) {
    // 500 distinct words of two or three syllables.
    std::string w = std::string(kSyllables[n % 20]) + kSyllables[(n / 20) % 20];
    if (n >= 400) w += kSyllables[(n * 7) % 20];
    return w;
}

// Skewed towards the first words: word 0 is in about half of the items, the last in a few.
int PickWord(Random& r) {
    int n = int(500.0 * std::pow(r.Unit(), 3.0));
    return n > 499 ? 499 : n;
}

const char* const kFirstNames[] = {"Ada", "Bruno", "Carla", "Dmitri", "Elena", "Farid", "Greta", "Hugo",
                                   "Ines", "Jonas", "Kira", "Luca", "Maya", "Nils", "Olga", "Pavel"};
const char* const kLastNames[] = {"Berg", "Costa", "Dahl", "Eriksen", "Falk", "Gruber", "Holm", "Ivanova",
                                  "Jansen", "Keller", "Lind", "Moreau"};
const char* const kCities[] = {"Harbourtown", "Millbrook", "Eastvale", "Stonebridge", "Riverside",
                               "Northcliff", "Lakeview", "Ashford", "Greenhill", "Westmoor"};
const char* const kCountries[] = {"Aldoria", "Belvania", "Corwen", "Dunmark", "Estovia"};

void AppendDataset(std::string* block, FieldId id, const std::string& text) {
    std::uint8_t head[5] = {0x1C, std::uint8_t(id >> 8), std::uint8_t(id & 0xFF)};
    WriteBE16(head + 3, std::uint16_t(text.size()));
    block->append(reinterpret_cast<const char*>(head), 5);
    block->append(text);
}

Handle HandleOf(const std::string& bytes) {
    Handle h = nullptr;
    PtrToHand(bytes.data(), &h, Size(bytes.size()));
    return h;
}

std::string Annotations(int n, Random& r) {
    std::string block;
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d", n);
    AppendDataset(&block, kFieldProduct, name);
    for (int k = 0; k < 5; ++k) AppendDataset(&block, kFieldKeywords, Word(PickWord(r)));
    for (int k = 0; k < 2; ++k)
        AppendDataset(&block, kFieldPeople,
                      std::string(kFirstNames[r.Below(16)]) + " " + kLastNames[r.Below(12)]);
    AppendDataset(&block, kFieldCity, kCities[(n / 100) % 10]);
    AppendDataset(&block, kFieldCountry, kCountries[(n / 300) % 5]);
    AppendDataset(&block, kFieldAuthor, std::string(kFirstNames[n % 4]) + " " + kLastNames[n % 3]);
    AppendDataset(&block, kFieldTitle, Word(r.Below(500)) + " at " + kCities[(n / 100) % 10]);
    AppendDataset(&block, kFieldCopyright, std::string("Copyright ") + std::to_string(2010 + n / 2000) +
                                               " " + kFirstNames[n % 4] + " " + kLastNames[n % 3] +
                                               ", all rights reserved");
    AppendDataset(&block, kFieldSource, "Family archive, box " + std::to_string(n / 500));
    AppendDataset(&block, kFieldInstructions, "Do not publish without asking the people shown first.");
    AppendDataset(&block, kFieldCredit, std::string(kFirstNames[n % 4]) + " " + kLastNames[n % 3]);
    std::string caption;
    while (caption.size() < 190) caption += Word(r.Below(450)) + (r.Below(6) ? " " : ". ");
    AppendDataset(&block, kFieldCaption, caption);
    return block;
}

void AddItem(UserData ud, OSType type, const std::string& bytes, bool text = false) {
    Handle h = HandleOf(bytes);
    if (text)
        AddUserDataText(ud, h, type, 1, 0);
    else
        AddUserData(ud, h, type);
    DisposeHandle(h);
}

std::string Rational(std::uint32_t num, std::uint32_t den) {
    std::uint8_t b[8];
    WriteBE32(b, num);
    WriteBE32(b + 4, den);
    return std::string(reinterpret_cast<const char*>(b), 8);
}

std::string Short(std::uint16_t v) {
    std::uint8_t b[2];
    WriteBE16(b, v);
    return std::string(reinterpret_cast<const char*>(b), 2);
}

Handle Metadata(int n, UInt32 taken, Random& r) {
    UserData ud = nullptr;
    if (NewUserData(&ud) != noErr) return nullptr;
    static const std::uint32_t exposures[] = {15, 30, 60, 125, 250, 500, 1000};
    static const std::uint32_t stops[] = {18, 28, 40, 56, 80, 110, 160};
    AddItem(ud, kFieldShutterSpeed, Rational(1, exposures[r.Below(7)]));
    AddItem(ud, kFieldAperture, Rational(stops[r.Below(7)], 10));
    AddItem(ud, kFieldIsoSpeed, Short(std::uint16_t(100 << r.Below(5))));
    AddItem(ud, kFieldFocalLength, Rational(std::uint32_t(18 + r.Below(180)), 1));
    AddItem(ud, kFieldExposureBias, Rational(std::uint32_t(r.Below(7) - 3), 3));
    AddItem(ud, kFieldExposureProgram, Short(std::uint16_t(1 + r.Below(4))));
    AddItem(ud, kFieldMetering, Short(5));
    AddItem(ud, kFieldFlash, Short(std::uint16_t(r.Below(2) ? 16 : 9)));
    AddItem(ud, kFieldSensing, Short(2));
    AddItem(ud, kFieldLightSource, Short(0));
    AddItem(ud, kFieldExifVersion, "0230");
    DateTimeRec d;
    SecondsToDate(taken, &d);
    char date[64];
    std::snprintf(date, sizeof date, "%04d:%02d:%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                  d.second);
    AddItem(ud, kFieldCaptureDate, std::string(date, 20));
    AddItem(ud, kFieldMaker, "Northfield Optics", true);
    AddItem(ud, kFieldModel, n % 3 ? "NF-20" : "NF-7 Mark II", true);
    AddItem(ud, kFieldSoftware, "Firmware 1.2", true);
    AddItem(ud, kFieldGpsLatitudeRef, std::string("N\0", 2));
    AddItem(ud, kFieldGpsLatitude, Rational(47, 1) + Rational(std::uint32_t(r.Below(60)), 1) + Rational(1234, 100));
    AddItem(ud, kFieldGpsLongitudeRef, std::string("E\0", 2));
    AddItem(ud, kFieldGpsLongitude, Rational(8, 1) + Rational(std::uint32_t(r.Below(60)), 1) + Rational(4321, 100));
    AddItem(ud, kFieldGpsAltitude, Rational(std::uint32_t(400 + r.Below(900)), 1));
    // A maker note's worth of opaque bytes, as cameras write them.
    std::string note(1600, '\0');
    for (char& c : note) c = char(r.Next());
    AddItem(ud, ExifFieldId(0x927C), note);
    Handle flat = NewHandle(0);
    if (flat && PutUserDataIntoHandle(ud, flat) != noErr) {
        DisposeHandle(flat);
        flat = nullptr;
    }
    DisposeUserData(ud);
    return flat;
}

// A picture of a few soft shapes on a gradient; look-alike pairs share their seed.
Handle Thumbnail(int seed) {
    Random r(std::uint64_t(seed) + 7777);
    const int w = 192, h = 144;
    Rect bounds{0, 0, h, w};
    GWorldPtr world = nullptr;
    if (NewGWorldFromFormat(&world, k32ARGBPixelFormat, &bounds) != noErr) return nullptr;
    PixelView px = GetGWorldPixels(world);
    // A coarse pattern of random brightness (as different scenes differ), a soft disc, and
    // grain so the JPEG is as large as a photograph's thumbnail.
    std::uint8_t cells[4][5][3];
    for (auto& row : cells)
        for (auto& cell : row)
            for (auto& v : cell) v = std::uint8_t(r.Next());
    int cx = r.Below(w), cy = r.Below(h), rad = 20 + r.Below(40);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(px.base + std::ptrdiff_t(y) * px.rowBytes);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* cell = cells[y * 4 / h][x * 5 / w];
            std::uint32_t c[3];
            for (int k = 0; k < 3; ++k) {
                int v = cell[k];
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < rad * rad) v = 255 - v;
                v += int(r.Next() % 49) - 24;
                c[k] = std::uint32_t(std::clamp(v, 0, 255));
            }
            row[x] = 0xFF000000u | c[0] << 16 | c[1] << 8 | c[2];
        }
    }
    PicHandle thumb = nullptr;
    UInt32 sample = 0;
    KindMakeCatalogThumbnail(world, nullptr, 128, 0, nullptr, &sample, &thumb);
    DisposeGWorld(world);
    return thumb;
}

}  // namespace

OSErr MakeBenchItem(int n, BenchItem* item) {
    Random r(std::uint64_t(n) + 1);
    *item = BenchItem{};
    ItemRec& rec = item->record;
    const int folder = n / 25;
    const UInt32 base = 3345062400u;   // 2010-01-01
    const UInt32 taken = base + UInt32(folder) * 86400u * 4u + UInt32(r.Below(86400));
    char path[160];
    std::snprintf(path, sizeof path, "/srv/photos/%04d/%s %03d/IMG_%04d.JPG", 2010 + folder / 80,
                  kCities[folder % 10], folder, n);
    PStrFromBytes(rec.fileName, path, long(std::strlen(path)));
    const char* stored = std::strlen(path) < 64 ? path : std::strrchr(path, '/') + 1;
    PStrFromBytes(rec.storedName, stored, long(std::strlen(stored)));
    rec.kind = 'JPEG';
    rec.fileSize = 2000000u + r.Next() % 7000000u;
    bool portrait = r.Below(4) == 0;
    rec.width = portrait ? 4000 : 6000;
    rec.height = portrait ? 6000 : 4000;
    rec.resolution = 72;
    rec.depth = 24;
    rec.created = taken;
    rec.modified = taken + UInt32(r.Below(3600));
    rec.annotatedDate = taken + 86400u * 30u;
    item->label = n % 10 == 0 ? UInt8(1 + (n / 10) % 9) : 0;

    item->annotations = HandleOf(Annotations(n, r));
    item->metadata = Metadata(n, taken, r);
    item->thumbnail = Thumbnail(n % 40 == 39 ? n - 1 : n);
    if (!item->annotations || !item->metadata || !item->thumbnail) {
        FreeBenchItem(item);
        return memFullErr;
    }
    return noErr;
}

void FreeBenchItem(BenchItem* item) {
    for (Handle* h : {&item->thumbnail, &item->annotations, &item->metadata}) {
        if (*h) DisposeHandle(*h);
        *h = nullptr;
    }
}

std::string BenchCommonWord() { return Word(0); }
std::string BenchRareWord() { return Word(499); }
std::string BenchMissingWord() { return "quixotry"; }

void Check(OSErr err, const char* what) {
    if (err != noErr) {
        std::fprintf(stderr, "%s failed: %d\n", what, int(err));
        std::exit(1);
    }
}

void AddBenchItems(CatalogRec* catalog, int count) {
    for (int n = 0; n < count; ++n) {
        BenchItem item;
        Check(MakeBenchItem(n, &item), "item");
        Check(CatalogAddItem(catalog, &item.record, item.thumbnail, item.annotations, nullptr, item.metadata, nullptr,
                             item.label),
              "add");
        FreeBenchItem(&item);
    }
}
