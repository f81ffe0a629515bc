// What the import library attaches to the catalog engine's life: refresh jobs end when their
// catalog closes and when the engine stops or starts again, and a catalog saved while watching
// its folders resumes watching when it opens. The program calls ImportAttachToCatalogs once at
// start-up; starting a refresh job or a watch timer attaches too, so no job can outlive its
// catalog even where start-up did not.
#pragma once

// Registers the hooks with the catalog engine; calling it again changes nothing.
void ImportAttachToCatalogs();
