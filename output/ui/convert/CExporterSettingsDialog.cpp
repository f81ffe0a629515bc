#include "output/ui/convert/CExporterSettingsDialog.h"

#include "platform/movies/MovieExportTable.h"

#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

namespace {

const MovieExportComponentInfo* FormatInfo(OSType subType) {
    for (const auto& c : AllMovieExportComponents())
        if (c.subtype == subType) return &c;
    return nullptr;
}

// The number fields: control id and settings key.
constexpr std::pair<int, const char*> kNumbers[] = {
    {1001, "quality"},   {1004, "videobitrate"}, {1005, "width"},   {1006, "height"},
    {1008, "audiobitrate"}, {1009, "samplerate"}, {1010, "channels"},
};

}  // namespace

CExporterSettingsDialog::CExporterSettingsDialog(wxWindow* parent, ConvertMediaKind kind, const ExporterSettings& settings)
    : CLyrexDialog(1320, parent), kind_(kind), settings_(settings) {}

bool CExporterSettingsDialog::HasSettings(ConvertMediaKind kind, OSType subType) {
    return kind != ConvertMediaKind::Image || subType == 'JPEG';
}

void CExporterSettingsDialog::ShowRow(std::initializer_list<int> ids, bool show) {
    for (int id : ids)
        if (wxWindow* w = Controls().Find(id)) w->Show(show);
}

bool CExporterSettingsDialog::OnInitDialog() {
    CLyrexDialog::OnInitDialog();
    const bool image = kind_ == ConvertMediaKind::Image;
    const bool movie = kind_ == ConvertMediaKind::Movie;
    ShowRow({2001, 1001}, image);
    ShowRow({2003, 1003, 2004, 1004, 2005, 1005, 2006, 1006}, movie);
    ShowRow({2007, 1007, 2008, 1008, 2009, 1009, 2010, 1010}, !image);
    const MovieExportComponentInfo* info = FormatInfo(settings_.subType);
    auto fill = [&](int id, const std::vector<std::string>& codecs, const std::string& current) {
        auto* choice = Controls().Get<wxChoice>(id);
        if (!choice) return;
        choice->Append("-");   // the first codec the machine has
        choice->SetSelection(0);
        for (const auto& c : codecs) {
            if (!MovieEncoderAvailable(c)) continue;
            const int at = choice->Append(wxString::FromUTF8(c));
            if (c == current) choice->SetSelection(at);
        }
    };
    if (info) {
        fill(1003, info->videoCodecs, settings_.Text("videocodec"));
        fill(1007, info->audioCodecs, settings_.Text("audiocodec"));
    }
    for (const auto& [id, key] : kNumbers)
        if (auto* edit = Controls().Get<wxTextCtrl>(id))
            edit->ChangeValue(wxString::Format("%d", settings_.Int(key, id == 1001 ? 85 : 0)));
    Layout();
    Fit();
    return true;
}

bool CExporterSettingsDialog::TransferDataFromWindow() {
    ExporterSettings out;
    out.subType = settings_.subType;
    for (const auto& [id, key] : kNumbers) {
        auto* edit = Controls().Get<wxTextCtrl>(id);
        if (!edit || !edit->IsShown()) continue;
        long v = 0;
        if (!edit->GetValue().ToLong(&v) || v < 0 || v > 1000000) return false;
        if (id == 1001 && (v < 1 || v > 100)) return false;
        if (v > 0 || id == 1001) out.values[key] = std::to_string(v);
    }
    for (auto [id, key] : {std::pair{1003, "videocodec"}, std::pair{1007, "audiocodec"}}) {
        auto* choice = Controls().Get<wxChoice>(id);
        if (choice && choice->IsShown() && choice->GetSelection() > 0)
            out.values[key] = choice->GetStringSelection().ToStdString();
    }
    settings_ = out;
    return true;
}
