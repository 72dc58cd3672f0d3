#include "parallel_converter.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace ShamsiDate {

namespace {

// Line feeds in the bytes, counted in runs short enough for a byte counter,
// so the compiler compares many bytes at once.
std::size_t CountLineFeeds(const char* begin, const char* end) {
    constexpr std::ptrdiff_t kRun = 255;
    std::size_t count = 0;
    while (end - begin >= kRun) {
        unsigned char inRun = 0;
        for (std::ptrdiff_t i = 0; i < kRun; ++i) {
            inRun += static_cast<unsigned char>(begin[i] == '\n');
        }
        count += inRun;
        begin += kRun;
    }
    for (; begin != end; ++begin) {
        count += static_cast<std::size_t>(*begin == '\n');
    }
    return count;
}

}  // namespace

struct ParallelConverter::Worker {
    Worker(const Options& options, std::size_t blockSize)
        : block(std::make_unique_for_overwrite<char[]>(blockSize)),  // NOLINT(*-avoid-c-arrays)
          converter(
              options, [this](std::string_view bytes) { output.append(bytes); },
              [this](std::string_view message) { messages.append(message); }) {}

    std::unique_ptr<char[]> block;  // NOLINT(*-avoid-c-arrays)
    std::size_t size = 0;
    std::string output;
    std::string messages;
    LineConverter converter;
};

ParallelConverter::ParallelConverter(const Options& options, Source input, Sink output, Sink errors,
                                     unsigned threads, std::size_t blockSize)
    : options_(options),
      input_(std::move(input)),
      output_(std::move(output)),
      errors_(std::move(errors)),
      threads_(std::max(threads, 1U)),
      blockSize_(blockSize) {}

ParallelConverter::Taken ParallelConverter::Take(Worker& worker) {
    const std::scoped_lock lock(inputMutex_);
    if (inputEnded_) {
        return {};
    }
    Taken taken{true, blocksTaken_++, linesTaken_ + 1, false, false};
    char* const block = worker.block.get();
    std::memcpy(block, carried_.data(), carried_.size());
    worker.size = carried_.size();
    carried_.clear();
    const std::size_t wanted = blockSize_ - worker.size;
    const std::size_t got = input_(block + worker.size, wanted);
    worker.size += got;
    if (got < wanted) {
        taken.last = true;
        inputEnded_ = true;
    } else {
        char* lineFeed = block + worker.size;
        while (lineFeed != block && *(lineFeed - 1) != '\n') {
            --lineFeed;
        }
        if (lineFeed == block) {
            // No line ends in the whole block: this thread reads on alone.
            taken.longLine = true;
            inputEnded_ = true;
        } else {
            carried_.assign(lineFeed, block + worker.size);
            worker.size = static_cast<std::size_t>(lineFeed - block);
        }
    }
    linesTaken_ += CountLineFeeds(block, block + worker.size);
    return taken;
}

void ParallelConverter::WaitForTurn(std::size_t number) {
    std::unique_lock lock(turnMutex_);
    turnChanged_.wait(lock, [this, number] { return turn_ == number; });
}

void ParallelConverter::EndTurn() {
    {
        const std::scoped_lock lock(turnMutex_);
        ++turn_;
    }
    turnChanged_.notify_all();
}

void ParallelConverter::HandOut(Worker& worker) {
    if (!worker.messages.empty()) {
        errors_(worker.messages);
        worker.messages.clear();
    }
    if (!worker.output.empty()) {
        output_(worker.output);
        worker.output.clear();
    }
}

void ParallelConverter::ConvertRest(Worker& worker) {
    for (;;) {
        const std::size_t got = input_(worker.block.get(), blockSize_);
        worker.converter.Feed(std::string_view(worker.block.get(), got));
        HandOut(worker);
        if (got < blockSize_) {
            break;
        }
    }
    worker.converter.Finish();
    HandOut(worker);
}

bool ParallelConverter::Step(Worker& worker) {
    const Taken taken = Take(worker);
    if (!taken.any) {
        return false;
    }
    worker.converter.SetNextLine(taken.firstLine);
    worker.converter.Feed(std::string_view(worker.block.get(), worker.size));
    if (!taken.longLine) {
        worker.converter.Finish();
    }
    WaitForTurn(taken.number);
    HandOut(worker);
    if (taken.longLine) {
        ConvertRest(worker);
    }
    EndTurn();
    return !taken.last && !taken.longLine;
}

bool ParallelConverter::Run() {
    std::vector<std::unique_ptr<Worker>> workers;
    workers.push_back(std::make_unique<Worker>(options_, blockSize_));
    Worker& own = *workers.front();
    std::vector<std::jthread> threads;
    if (Step(own) && threads_ > 1) {
        // The header, if any, went out with the first block.
        Options rest = options_;
        rest.header = false;
        for (unsigned i = 1; i < threads_; ++i) {
            Worker& worker = *workers.emplace_back(std::make_unique<Worker>(rest, blockSize_));
            try {
                threads.emplace_back([this, &worker] {
                    while (Step(worker)) {
                    }
                });
            } catch (const std::system_error&) {
                break;  // no more threads to be had: those there are do the work
            }
        }
    }
    while (Step(own)) {
    }
    threads.clear();  // joins them
    return std::any_of(workers.begin(), workers.end(),
                       [](const std::unique_ptr<Worker>& worker) { return worker->converter.AnyBad(); });
}

}  // namespace ShamsiDate
