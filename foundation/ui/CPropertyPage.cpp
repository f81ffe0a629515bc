#include "foundation/ui/CPropertyPage.h"

CPropertyPage::CPropertyPage(std::uint32_t templateId) : templateId_(templateId) {}

bool CPropertyPage::Create(wxWindow* book) {
    if (!wxPanel::Create(book, wxID_ANY)) return false;
    DialogDescription description;
    if (LoadDialogDescription(int(templateId_), &description)) BuildDialog(this, description, &controls_);
    return true;
}
