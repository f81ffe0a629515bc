#include "media/readers/webpages/WebPageKinds.h"

#include "media/kinds/KindTable.h"

void KindRegisterWebPages() {
    KindRegister('HTML', kKindHandlerWebPage, "HTML Document", kKindCategoryHTML);
    KindRegister('HTM ', kKindHandlerWebPage, "HTML Document", kKindCategoryHTML);
    KindRegister('MHT ', kKindHandlerWebPage, "HTML Archive", kKindCategoryHTML);
    KindRegister('XML ', kKindHandlerWebPage, "XML Document", kKindCategoryHTML);
}
