// A fixture with a new untitled catalog whose items the test appends to its work file, the
// formats in the C locale, and the stored item data read back.
#pragma once

#include "ItemDataSupport.h"

#include "catalog/file/CatalogEngine.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "foundation/format/LocaleFormats.h"
#include "platform/Handles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <vector>

class WorkFileCatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetFormatLocale("C.UTF-8");
        catalog_ = NewCatalogWithWorkFile(dir_);
        ASSERT_NE(catalog_, nullptr);
    }
    void TearDown() override {
        CatalogClose(catalog_, false);
        CatalogNotificationsReset();
        CatalogEngineShutdown();
        SetFormatLocale(nullptr);
    }
    // The item's annotation block as stored; empty when it has none.
    ByteString Annotations(UInt32 id) {
        Handle h = ItemReadBlock(catalog_, CatalogFindEntryById(catalog_, id), kBlockAnnotations);
        ByteString out = h ? ByteString(*h, std::size_t(GetHandleSize(h))) : ByteString();
        if (h) DisposeHandle(h);
        return out;
    }
    // The item ids as a handle of 4-byte ids, owned by the caller.
    static Handle IdHandle(const std::vector<UInt32>& ids) {
        Handle h = nullptr;
        PtrToHand(ids.data(), &h, Size(4 * ids.size()));
        return h;
    }

    TempFolder dir_;
    CatalogRec* catalog_ = nullptr;
};
