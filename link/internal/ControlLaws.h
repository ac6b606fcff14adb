// The arithmetic shared by the control laws of CZORComm: output byte mappings,
// fuzzy quantisation and the two fuzzy rule tables. Internal to the link.
#pragma once

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::control {

// Heating power byte: 91 (full) for x below 0.1, 0 (off) above 91, else 91 - x truncated.
BYTE TemperatureOutput(double x);
// Motor drive byte: 239 (weakest) for x below 17, 32 (strongest) above 256, else 256 - x truncated.
BYTE SpeedOutput(double x);
// Nearest integer with halves away from zero, clamped to -6..+6.
int QuantiseFuzzy(float value);

// Rows by quantised error, columns by quantised change, each -6..+6 at index + 6.
extern const int kFuzzyRules1[13][13];
extern const int kFuzzyRules2[13][13];

}
