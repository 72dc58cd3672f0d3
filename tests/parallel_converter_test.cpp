// The converter that runs on several threads gives byte for byte what one
// LineConverter gives: output, messages with their line numbers, and the
// bad-line verdict, for any block size and any number of threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "line_converter.h"
#include "options.h"
#include "parallel_converter.h"

namespace {

struct Converted {
    std::string output;
    std::string errors;
    bool anyBad = false;
};

Converted OneConverter(const ShamsiDate::Options& options, std::string_view input) {
    Converted result;
    ShamsiDate::LineConverter converter(
        options, [&result](std::string_view bytes) { result.output.append(bytes); },
        [&result](std::string_view message) { result.errors.append(message); });
    converter.Feed(input);
    converter.Finish();
    result.anyBad = converter.AnyBad();
    return result;
}

Converted Parallel(const ShamsiDate::Options& options, std::string_view input, unsigned threads,
                   std::size_t blockSize) {
    Converted result;
    ShamsiDate::ParallelConverter converter(
        options,
        [&input](char* buffer, std::size_t size) {
            const std::size_t taken = std::min(size, input.size());
            std::copy_n(input.data(), taken, buffer);
            input.remove_prefix(taken);
            return taken;
        },
        [&result](std::string_view bytes) { result.output.append(bytes); },
        [&result](std::string_view message) { result.errors.append(message); }, threads, blockSize);
    result.anyBad = converter.Run();
    return result;
}

// Lines of every kind: some longer than the smaller blocks, one longer than
// the larger ones near the end, and a last line without a line feed.
std::string MixedLines() {
    const std::string longLine(40, 'x');
    std::string input;
    for (int i = 0; i < 40; ++i) {
        input += "id,when,note\n";
        input += "1,1405/09/17,a\n";
        input += "2,2026-12-08T10:30:00Z,b\r\n";
        input += "3,1404/12/30," + longLine + "\n";
        input += "4,17 آذر 1405,c\n";
        input += "5," + longLine + ",d\n";
        input += "\n\n\n";
        input += "1403/12/30\r\n";
        input += "2026-12-08 10:30:00\n";
        input += longLine + "\n";
    }
    input += std::string(1500, 'y') + "\n1405/01/01\n";
    input += "1405/01/01";
    return input;
}

TEST(ParallelConverter, GivesWhatOneConverterGives) {
    using ShamsiDate::Direction;
    using ShamsiDate::Operation;
    const std::string input = MixedLines();
    std::vector<ShamsiDate::Options> optionSets(5);
    optionSets[1].direction = Direction::kToShamsi;
    optionSets[2].field = 2;
    optionSets[2].header = true;
    optionSets[3].field = 3;
    optionSets[3].direction = Direction::kToShamsi;
    optionSets[4].operation = Operation::kAdd;
    optionSets[4].amount = {.days = 40};
    for (std::size_t set = 0; set < optionSets.size(); ++set) {
        const Converted expected = OneConverter(optionSets[set], input);
        ASSERT_TRUE(expected.anyBad);
        for (const std::size_t blockSize : {std::size_t{1}, std::size_t{7}, std::size_t{16}, std::size_t{64},
                                            std::size_t{1000}, std::size_t{1} << 20}) {
            for (const unsigned threads : {1U, 2U, 4U}) {
                const Converted got = Parallel(optionSets[set], input, threads, blockSize);
                ASSERT_EQ(got.output, expected.output) << set << ' ' << blockSize << ' ' << threads;
                ASSERT_EQ(got.errors, expected.errors) << set << ' ' << blockSize << ' ' << threads;
                ASSERT_EQ(got.anyBad, expected.anyBad) << set << ' ' << blockSize << ' ' << threads;
            }
        }
    }
}

TEST(ParallelConverter, EmptyInputGivesNothing) {
    const Converted got = Parallel(ShamsiDate::Options{}, "", 2, 16);
    EXPECT_TRUE(got.output.empty());
    EXPECT_TRUE(got.errors.empty());
    EXPECT_FALSE(got.anyBad);
}

}  // namespace
