// shamsi-date add and diff: what sets them apart from a conversion. Both
// then run through the line converter, so they read every form, line and
// field that to-miladi reads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "options.h"

namespace ShamsiDate {

// The grammar of an amount, for messages.
inline constexpr std::string_view kAmountGrammar = "[+|-] then one or more of Ny, Nm, Nw, Nd, in that order";

// Sets the options up for command ("add" or "diff") from its operands: for
// add, the first operand is the amount, taken out of operands; diff takes
// two dates or none. Returns the usage error, or an empty string.
[[nodiscard]] std::string SetUpArithmetic(std::string_view command, Options& options,
                                          std::vector<std::string_view>& operands);

}  // namespace ShamsiDate
