// A stream of lines converted on several threads at once, with exactly the
// output, messages and line numbers one LineConverter gives.
//
// The input is taken in blocks cut after their last line feed, so each
// block holds whole lines. Each thread takes the next block (reading it from
// the source; blocks are numbered and their first line numbers counted as
// they are taken), converts it with a LineConverter of its own, and then
// waits for its turn to hand out the block's messages and output, in the
// order of the input. Reading and handing out are one thread at a time;
// converting is all of them at once.
//
// Memory stays the same for any input: each thread holds one block, its
// output and its messages. A line longer than a whole block cannot be cut
// out: the thread that meets one waits for every block before it and then
// converts all the rest of the input alone, as a LineConverter does.
//
// One thread converts a stream that fits in one block; the others start
// only when more follows.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "line_converter.h"
#include "options.h"

namespace ShamsiDate {

class ParallelConverter {
public:
    // Reads up to size bytes into the buffer and returns how many; fewer only
    // at the end of the input.
    using Source = std::function<std::size_t(char* buffer, std::size_t size)>;
    using Sink = LineConverter::Sink;

    // The options must be good (CheckOptions). blockSize is the most bytes a
    // thread takes at once; threads, how many convert at most (1 or more).
    ParallelConverter(const Options& options, Source input, Sink output, Sink errors, unsigned threads,
                      std::size_t blockSize = kDefaultBlockSize);

    // Converts the whole input; returns true when any line was bad.
    bool Run();

    static constexpr std::size_t kDefaultBlockSize = std::size_t{1} << 18;

private:
    struct Worker;
    // What a thread took: which block, its first line number, and whether
    // it is the last or a line longer than a block begins in it.
    struct Taken {
        bool any = false;
        std::size_t number = 0;
        std::size_t firstLine = 0;
        bool last = false;
        bool longLine = false;
    };

    // Takes, converts and hands out one block; false when no more follows.
    bool Step(Worker& worker);
    Taken Take(Worker& worker);
    void WaitForTurn(std::size_t number);
    void EndTurn();
    // Hands out what the worker's converter gave so far.
    void HandOut(Worker& worker);
    // The rest of the input after a line longer than a block, through the
    // worker's converter.
    void ConvertRest(Worker& worker);

    Options options_;
    Source input_;
    Sink output_;
    Sink errors_;
    unsigned threads_;
    std::size_t blockSize_;

    std::mutex inputMutex_;
    std::string carried_;  // the unfinished last line of the block taken last
    std::size_t blocksTaken_ = 0;
    std::size_t linesTaken_ = 0;  // line feeds in the blocks taken
    bool inputEnded_ = false;

    std::mutex turnMutex_;
    std::condition_variable turnChanged_;
    std::size_t turn_ = 0;  // the block whose output goes out next
};

}  // namespace ShamsiDate
