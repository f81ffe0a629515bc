#include "catalog/tables/LookAlikeSignatures.h"

#include "catalog/items/ItemBlocks.h"
#include "media/imaging/PixelServices.h"
#include "platform/Handles.h"

#include <xxhash.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>
#include <unordered_map>

struct LookAlikeSignatures {
    struct Kept {
        UInt32 size = 0;       // the thumbnail block's length
        XXH128_hash_t hash{};  // and a hash of its bytes
        bool drawn = false;    // false: the block could not be drawn, there is no signature
        UInt8 signature[kPictureSignatureSize] = {};
    };
    std::unordered_map<UInt32, Kept> byItem;  // by item id
};

namespace {

// A thumbnail whose signature must be made, with what is known of it so far.
struct Pending {
    std::size_t index;  // in the entries
    Handle picture;
    LookAlikeSignatures::Kept kept;
};

// Makes the signatures of the pending thumbnails on all cores: decoding a thumbnail is the
// whole cost of a scan that has no kept signatures, and each one needs nothing but its own
// bytes. The results land in each one's own slot, so the order of the work cannot show.
void MakeSignatures(std::vector<Pending>& pending) {
    if (pending.empty()) return;
    auto work = [&pending](std::atomic<std::size_t>* next) {
        for (std::size_t k = next->fetch_add(1); k < pending.size(); k = next->fetch_add(1)) {
            Pending& p = pending[k];
            p.kept.drawn = PictureSignature(p.picture, p.kept.signature, kPictureSignatureSize) == noErr;
            if (!p.kept.drawn) std::memset(p.kept.signature, 0, sizeof p.kept.signature);
        }
    };
    std::atomic<std::size_t> next{0};
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t helpers = std::min<std::size_t>(cores, pending.size()) - 1;
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < helpers; ++t) {
        try {
            threads.emplace_back(work, &next);
        } catch (const std::system_error&) {
            break;  // no more threads to be had: the ones running and this one do it all
        }
    }
    work(&next);
    for (std::thread& t : threads) t.join();
}

}  // namespace

void CatalogLookAlikeSignatures(const CatalogRec* catalog, const std::vector<const ItemEntry*>& entries,
                                std::vector<UInt8>* signatures, std::vector<UInt8>* present) {
    signatures->assign(entries.size() * kPictureSignatureSize, 0);
    present->assign(entries.size(), 0);
    if (!catalog) return;
    std::shared_ptr<LookAlikeSignatures> kept = catalog->lookAlikeSignatures;
    auto fresh = std::make_shared<LookAlikeSignatures>();
    fresh->byItem.reserve(entries.size());
    auto take = [&](std::size_t i, const LookAlikeSignatures::Kept& now) {
        if (now.drawn) {
            std::memcpy(signatures->data() + i * kPictureSignatureSize, now.signature, kPictureSignatureSize);
            (*present)[i] = 1;
        }
        fresh->byItem[entries[i]->id] = now;
    };
    // The thumbnails are read here, on the caller's thread, as every read of the catalog's
    // files is; those to decode go to the cores a batch at a time, which bounds the memory.
    constexpr std::size_t kBatch = 512;
    std::vector<Pending> pending;
    auto flush = [&] {
        MakeSignatures(pending);
        for (Pending& p : pending) {
            DisposeHandle(p.picture);
            take(p.index, p.kept);
        }
        pending.clear();
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Handle picture = ItemReadBlock(catalog, entries[i], kBlockThumbnail);
        if (!picture) continue;  // no thumbnail: nothing to compare
        LookAlikeSignatures::Kept now;
        now.size = UInt32(GetHandleSize(picture));
        now.hash = XXH3_128bits(*picture, std::size_t(now.size));
        if (kept) {
            auto it = kept->byItem.find(entries[i]->id);
            if (it != kept->byItem.end() && it->second.size == now.size &&
                XXH128_isEqual(it->second.hash, now.hash)) {
                DisposeHandle(picture);
                take(i, it->second);
                continue;
            }
        }
        pending.push_back(Pending{i, picture, now});
        if (pending.size() == kBatch) flush();
    }
    flush();
    catalog->lookAlikeSignatures = std::move(fresh);
}
