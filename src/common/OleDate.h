#pragma once

namespace snipora {

// Date-time values in the OLE Automation form: days since 30 December 1899 00:00, local time,
// the time of day as the fraction.
double OleDateFromParts(int year, int month, int day, int hour, int minute, int second,
                        int millisecond);

// The current local date and time, to the millisecond.
double CurrentOleDate();

}  // namespace snipora
