// The data objects in which catalog items leave a grid view: a reference to the view a drag
// comes from (its process id and serial number, looked up among the live views on the drop),
// the items themselves as transfer packages (clipboard), and the items' files as a URI list
// for other programs. Each object copies its bytes, so the source may go away while they sit
// on the clipboard.
#pragma once

#include "window/grid/GridTransfer.h"

#include <string>
#include <vector>
#include <wx/dataobj.h>

// The formats: "application/x-lyrex-grid", "application/x-lyrex-items" and "text/uri-list".
const wxDataFormat& GridViewRefFormat();
const wxDataFormat& GridItemsFormat();
const wxDataFormat& UriListFormat();

// A byte payload of one format; refuses nothing itself (the readers check the bytes).
class BytesDataObject : public wxDataObjectSimple {
public:
    BytesDataObject(const wxDataFormat& format, Bytes bytes = {}) : wxDataObjectSimple(format), bytes_(std::move(bytes)) {}

    size_t GetDataSize() const override { return bytes_.size(); }
    bool GetDataHere(void* buf) const override;
    bool SetData(size_t len, const void* buf) override;
    const Bytes& GetBytes() const { return bytes_; }
    bool HasData() const { return received_ || !bytes_.empty(); }
    void Reset() {
        bytes_.clear();
        received_ = false;
    }

private:
    Bytes bytes_;
    bool received_ = false;
};

// The view reference of a grid view of this process.
wxDataObjectSimple* NewViewRefObject(UInt64 viewSerial);
// Items packed for the clipboard.
wxDataObjectSimple* NewItemsObject(const std::vector<Bytes>& packages);
// Files for other programs (text/uri-list).
wxDataObjectSimple* NewUriListObject(const std::vector<std::string>& paths);
// The same paths as plain text, one a line, for programs that take names as text.
wxDataObjectSimple* NewPathsTextObject(const std::vector<std::string>& paths);

// What a drop or a paste received, each part filled when the data held that format.
class ReceivedData : public wxDataObjectComposite {
public:
    ReceivedData();
    // The serial of the view the data comes from, when it holds a valid reference made by this
    // process; 0 otherwise (foreign, stale or malformed).
    UInt64 SourceViewSerial() const;
    bool HasViewRef() const;
    // The packages of an items payload; false when there is none or it does not add up.
    bool Items(std::vector<Bytes>* packages) const;
    // The local files named by a URI list or by plain text lines of absolute paths.
    std::vector<std::string> Files() const;
    // Forgets what was received.
    void Reset();

private:
    BytesDataObject* viewRef_;
    BytesDataObject* items_;
    BytesDataObject* uris_;
    wxTextDataObject* text_;
};
