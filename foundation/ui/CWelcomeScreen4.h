// The last page of the first-start wizard: links to online learning material and two ways to
// make the first catalog (from a folder the user chooses, from the Pictures and Videos
// folders). The answers are written only when the wizard finishes.
#pragma once

#include "foundation/ui/CPropertyPage.h"

// Commands the links send to the wizard's parent (menu events of these ids).
enum : int { kWelcomeGettingStartedCommand = 15558, kWelcomeFeatureTourCommand = 15560, kWelcomeShowcaseCommand = 15561 };

class CWelcomeScreen4 : public CPropertyPage {
public:
    CWelcomeScreen4(int* chooseFolderAnswer, int* picturesAnswer);

    bool OnSetActive() override;
    bool OnWizardFinish() override;

private:
    void BindLinks();
    int* chooseFolder_;
    int* pictures_;
    bool linksBound_ = false;
};
