// User-data lists: ordered items keyed by four-character types, several items per type told
// apart by their 1-based index. Items hold plain bytes or, for text items, a sequence of
// (big-endian u16 byte count, big-endian u16 region code, text) entries, one per region code.
//
// The flattened form (PutUserDataIntoHandle / NewUserDataFromHandle) is a stored format:
//   u32 big-endian total size, 'udta', then one atom per item:
//   u32 big-endian atom size (8 + data bytes), the item type (big-endian), the data.
// Items are written grouped by type, types in the order they first appeared, items of one
// type in index order. No terminating zero is written; one is accepted on reading.
#pragma once

#include "platform/MacTypes.h"

struct UserDataRecord;
using UserData = UserDataRecord*;

enum : OSErr {
    userDataItemNotFound = -2026,
};

OSErr NewUserData(UserData* theUserData);
OSErr DisposeUserData(UserData theUserData);

// Copies item (type, index) into data (resized to the item's size). A null data handle only
// tests that the item exists. userDataItemNotFound when there is no such item.
OSErr GetUserData(UserData theUserData, Handle data, OSType udType, long index);
// Appends a copy of the handle's bytes as a new, last item of the type.
OSErr AddUserData(UserData theUserData, Handle data, OSType udType);
// Removes item (type, index); the items after it move down one index.
OSErr RemoveUserData(UserData theUserData, OSType udType, long index);
short CountUserDataType(UserData theUserData, OSType udType);
// The first type after udType in the list's type order (0 starts the walk); 0 at the end.
long GetNextUserDataType(UserData theUserData, OSType udType);

// Puts the handle's bytes as the text of one region code into item (type, index): an
// existing entry of that region code is replaced, else the entry is added; when the item
// does not exist a new item of the type is made (placed last).
OSErr AddUserDataText(UserData theUserData, Handle data, OSType udType, long index, short itlRegionTag);
// Copies the text of the region code from item (type, index) into data (resized).
// userDataItemNotFound when the item or the region's text is missing.
OSErr GetUserDataText(UserData theUserData, Handle data, OSType udType, long index, short itlRegionTag);
// Removes the region code's text from item (type, index); the item goes when it is left empty.
OSErr RemoveUserDataText(UserData theUserData, OSType udType, long index, short itlRegionTag);

// Replaces the handle's content with the flattened list.
OSErr PutUserDataIntoHandle(UserData theUserData, Handle h);
// Makes a new list from a flattened one. A malformed block (bad header, an atom that runs past
// the end or is shorter than its header) gives paramErr and no list.
OSErr NewUserDataFromHandle(Handle h, UserData* theUserData);

// Item (type, index) of a flattened list, found where it lies without building the list:
// *data points into flat and *length is the item's size.
// The whole block is checked as NewUserDataFromHandle checks it, so a block that would give no
// list answers paramErr whichever item is asked for; userDataItemNotFound when the block is
// sound but holds no such item.
OSErr FindFlattenedUserData(const void* flat, Size size, OSType udType, long index, const UInt8** data,
                            Size* length);
// The text of one region code among the entries of a text item's bytes, found as
// GetUserDataText finds it; false when the item holds no text of that region code.
bool FindUserDataTextEntry(const UInt8* item, Size size, short itlRegionTag, const UInt8** text, Size* length);
