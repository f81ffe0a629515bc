#include "window/ui/GridDataObjects.h"

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

const wxDataFormat& GridViewRefFormat() {
    static const wxDataFormat format("application/x-lyrex-grid");
    return format;
}

const wxDataFormat& GridItemsFormat() {
    static const wxDataFormat format("application/x-lyrex-items");
    return format;
}

const wxDataFormat& UriListFormat() {
    static const wxDataFormat format("text/uri-list");
    return format;
}

bool BytesDataObject::GetDataHere(void* buf) const {
    if (!bytes_.empty()) std::memcpy(buf, bytes_.data(), bytes_.size());
    return true;
}

bool BytesDataObject::SetData(size_t len, const void* buf) {
    bytes_.assign(static_cast<const std::uint8_t*>(buf), static_cast<const std::uint8_t*>(buf) + len);
    received_ = true;
    return true;
}

wxDataObjectSimple* NewViewRefObject(UInt64 viewSerial) {
    return new BytesDataObject(GridViewRefFormat(), EncodeViewRef(UInt32(getpid()), viewSerial));
}

wxDataObjectSimple* NewItemsObject(const std::vector<Bytes>& packages) {
    return new BytesDataObject(GridItemsFormat(), EncodeItems(packages));
}

wxDataObjectSimple* NewUriListObject(const std::vector<std::string>& paths) {
    const std::string text = BuildUriList(paths);
    return new BytesDataObject(UriListFormat(), Bytes(text.begin(), text.end()));
}

wxDataObjectSimple* NewPathsTextObject(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& p : paths) text += p + "\n";
    return new wxTextDataObject(wxString::FromUTF8(text.c_str()));
}

ReceivedData::ReceivedData()
    : viewRef_(new BytesDataObject(GridViewRefFormat())),
      items_(new BytesDataObject(GridItemsFormat())),
      uris_(new BytesDataObject(UriListFormat())),
      text_(new wxTextDataObject) {
    // In the order a drop or a paste prefers them.
    Add(viewRef_, true);
    Add(items_);
    Add(uris_);
    Add(text_);
}

UInt64 ReceivedData::SourceViewSerial() const {
    UInt64 serial = 0;
    const Bytes& b = viewRef_->GetBytes();
    return DecodeViewRef(b.data(), b.size(), UInt32(getpid()), &serial) ? serial : 0;
}

bool ReceivedData::HasViewRef() const { return viewRef_->HasData(); }

bool ReceivedData::Items(std::vector<Bytes>* packages) const {
    const Bytes& b = items_->GetBytes();
    return items_->HasData() && DecodeItems(b.data(), b.size(), packages) && !packages->empty();
}

std::vector<std::string> ReceivedData::Files() const {
    if (uris_->HasData()) {
        const Bytes& b = uris_->GetBytes();
        return ParseUriList(std::string(b.begin(), b.end()));
    }
    std::vector<std::string> paths;
    const std::string text = text_->GetText().utf8_string();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        // Plain text counts only as names of files that are there: any other text is not a file.
        struct stat st{};
        if (!line.empty() && line[0] == '/' && stat(line.c_str(), &st) == 0) paths.push_back(line);
        else if (line.rfind("file://", 0) == 0) {
            for (const std::string& p : ParseUriList(line)) paths.push_back(p);
        }
    }
    return paths;
}

void ReceivedData::Reset() {
    viewRef_->Reset();
    items_->Reset();
    uris_->Reset();
    text_->SetText(wxString());
}
