#include "output/fileactions/FileConflicts.h"

namespace {

int gChoice = kConflictNone;
FileConflictAsker* gAsker = nullptr;

}  // namespace

int ConflictChoice() { return gChoice; }
void SetConflictChoice(int choice) { gChoice = choice; }
void ResetConflictChoice() { gChoice = kConflictNone; }

void SetFileConflictAsker(FileConflictAsker* asker) { gAsker = asker; }
FileConflictAsker* GetFileConflictAsker() { return gAsker; }

int AskFileConflict(const FileConflict& conflict) {
    // Whatever goes wrong while asking, the safe answer stands.
    gChoice = kConflictSkip;
    int answer = conflict.variant == kConflictResetPath ? kConflictReplace : kConflictSkip;
    if (gAsker) answer = gAsker->Ask(conflict);
    if (answer < kConflictReplace || answer > kConflictSkipAll) answer = kConflictSkip;
    gChoice = answer;
    return answer;
}
