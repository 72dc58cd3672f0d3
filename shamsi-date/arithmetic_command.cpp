#include "arithmetic_command.h"

namespace ShamsiDate {

std::string SetUpArithmetic(std::string_view command, Options& options,
                            std::vector<std::string_view>& operands) {
    if (command == "diff") {
        options.operation = Operation::kDiff;
        if (!operands.empty() && operands.size() != 2) {
            return "diff takes two DATEs, or none to read pairs from standard input";
        }
        return {};
    }
    options.operation = Operation::kAdd;
    if (operands.empty()) {
        return "add needs an AMOUNT (" + std::string(kAmountGrammar) + ")";
    }
    const std::string_view amount = operands.front();
    operands.erase(operands.begin());
    if (!Shamsi::ReadPeriod(amount, options.amount)) {
        return "'" + std::string(amount) + "' is not an AMOUNT (" + std::string(kAmountGrammar) + ")";
    }
    return {};
}

}  // namespace ShamsiDate
