// The catalog engine's item and notification calls that the import code uses.
#pragma once

#include "catalog/items/CustomFields.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemLabels.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/items/ItemChanges.h"
