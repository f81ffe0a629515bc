// Mac dates as the user reads them: the locale's short date and time.
#pragma once

#include "platform/MacTypes.h"

// With withDate, the locale's short date (at most 119 characters); with withTime, a blank and
// the locale's time, with seconds when withSeconds is set. The blank comes also when there is
// no date part. A date of 0 shows the current time.
void FormatDateTime(StringPtr out, UInt32 seconds, Boolean withDate, Boolean withTime,
                    Boolean withSeconds);
