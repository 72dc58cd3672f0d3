// What every command of shamsi-date shares: writing out, usage errors and
// exit statuses.
#pragma once

#include <cstdio>
#include <string_view>

namespace ShamsiDate {

// 1 when any date was bad or the input or output failed; 2 for a usage error.
inline constexpr int kExitBadDate = 1;
inline constexpr int kExitUsage = 2;

// Writes all the bytes, or ends the program with kExitBadDate and a message.
// Safe from any thread.
void WriteAll(std::FILE* stream, std::string_view bytes);

// "shamsi-date: <message>" and the hint to --help on standard error;
// returns kExitUsage.
int UsageError(std::string_view message);

}  // namespace ShamsiDate
