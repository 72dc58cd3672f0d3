#include "command_line.h"

#include <cstdlib>
#include <string>

namespace ShamsiDate {

void WriteAll(std::FILE* stream, std::string_view bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size()) {
        (void)std::fputs("shamsi-date: cannot write the output\n", stderr);
        // At once, from whichever thread converts: nothing is left that
        // could still be written.
        std::_Exit(kExitBadDate);
    }
}

int UsageError(std::string_view message) {
    std::string text = "shamsi-date: ";
    text.append(message).append("\nTry 'shamsi-date --help' for more information.\n");
    WriteAll(stderr, text);
    return kExitUsage;
}

}  // namespace ShamsiDate
