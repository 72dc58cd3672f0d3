// The three conversion routines of the program.
//
// Each takes a date as text and returns a date as text. The empty result
// means failure that has already been told to the user through the
// environment's message box. The argument is taken by reference and may be
// rewritten, as each routine describes; callers pass a copy of their text.
#pragma once

#include "services.h"

namespace Module1 {

using Runtime::Environment;
using Runtime::Text;

// "YY/MM/DD" (a Shamsi date of 1300-1399) to the Miladi "YYYY/MM/DD".
// On success the argument is replaced by the working text "13YY/MM/DD".
[[nodiscard]] Text ShamsiToMiladi(Text& shamsiText, Environment& env);

// A Miladi date text ("YYYY/MM/DD"; empty for today) to the Shamsi date:
// the long form "weekday  day month  year" or, with numericForm, "YY/MM/D".
// An empty argument is replaced by today's date text.
// A text that cannot be read as a date gives the empty text, silently.
[[nodiscard]] Text MiladiToShamsi(Text& miladiText, bool numericForm, Environment& env);

// A Miladi date text ("YYYY/MM/DD"; empty for today) in English words,
// "DD Month YYYY". The argument is trimmed in place.
[[nodiscard]] Text MiladiToString(Text& miladiText, Environment& env);

}  // namespace Module1
