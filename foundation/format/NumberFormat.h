// Numbers as the user reads them: decimals with the locale's separator, byte sizes with their
// unit, print sizes, GPS coordinates, version numbers and durations. Results are Str255
// texts in Windows-1252.
#pragma once

#include "platform/MacTypes.h"

// Format codes of FormatFNumber.
enum : short {
    kNumberOneDecimalTrimmed = 101,  // "%.1lf", then trailing zeros and a trailing point dropped
    kNumberTwoDecimalsTrimmed = 102,
    kNumberThreeDecimalsTrimmed = 103,
    kNumberOneDecimal = 201,  // "%.1lf" as printed
    kNumberTwoDecimals = 202,
    kNumberThreeDecimals = 203,
    kNumberFNumber = 301,            // "f" and one decimal: f2.8
    kNumberSignedOneDecimal = 302,   // "+" before positive values: +0.7
};

// The string list with the byte-size unit names: 1 "bytes", 2 "KB", 3 "MB", 4 "GB", 5 "TB".
enum : short { kByteUnitList = 513 };

// Byte-size units answered by FormatByteSize and FormatByteSize64.
enum : short {
    kByteUnitBytes = 1,
    kByteUnitKilo = 2,
    kByteUnitMega = 3,
    kByteUnitGiga = 4,
    kByteUnitTera = 5,
};

// The value printed with the code's format, every "." then replaced by the locale's decimal
// separator. An unknown code gives the empty string.
void FormatFNumber(double value, short code, StringPtr out);

// sign x floor(|value| + 0.5), the sign being -1 for values of 0 and below.
double RoundHalfAwayFromZero(double value);

// Below 1,024 the count itself (unit 1), else the count in KB, MB or GB with one decimal,
// trimmed (units 2..4). When unitList is not 0, that list's entry for the unit is appended.
// Answers the unit.
short FormatByteSize(UInt32 count, StringPtr out, short unitList);

// The same for a 64-bit count given in two halves; 2^40 and more is counted in TB (unit 5).
short FormatByteSize64(UInt32 low, UInt32 high, StringPtr out, short unitList);

// A length in pixels shown in a print unit (see Units.h) at the given resolution in pixels
// per inch (below 2 counts as 72): the whole number for pixels, else one decimal. A value of
// 0 or an unknown unit gives the empty string.
void FormatResolution(SInt32 value, double resolution, short unit, StringPtr out);

// A length in centimetres shown in inches with one decimal; the whole number for unit 1
// (pixels); the empty string for 0.
void FormatInches(double value, short unit, StringPtr out);

// Degrees, minutes and seconds, each a numerator and denominator, as 051° 30' 26.40".
// Minutes with a fraction and no seconds are split into whole minutes and seconds. The empty
// string when any denominator is 0.
void FormatGpsCoordinate(SInt32 degreesNum, SInt32 degreesDen, SInt32 minutesNum,
                         SInt32 minutesDen, SInt32 secondsNum, SInt32 secondsDen, StringPtr out);

// A packed version (binary-coded major, minor and fix digits, stage, build) as text:
// 0x07024005 is 7.0.2a5, 0x06508000 is 6.5.
void FormatNumVersion(UInt32 version, StringPtr out);

// Tenths of a second as h:mm:ss. The short form leaves out zero hours and zero minutes in
// front; withTenths adds the tenths after a point: 36,005 short with tenths is 01:00:00.5,
// 655 short is 01:05, 655 long is 00:01:05.
void FormatDuration(UInt32 tenths, StringPtr out, Boolean shortForm, Boolean withTenths);
