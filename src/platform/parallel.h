#pragma once
// Work shared out over threads: one place that starts them, hands out the work, survives a thread
// that cannot be started and brings a worker's exception back to the caller.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace zelvar {

// Runs body(i) for every i in [0, n) on `threads` threads, this one among them, handing out `batch`
// indexes at a time. Where a thread cannot be started, the ones there are do its share. The first
// exception a worker meets stops the others at their next batch and is thrown here once every
// thread has stopped.
template <class Body>
void forEachIndex(std::size_t n, unsigned threads, std::size_t batch, const Body& body) {
    batch = std::max<std::size_t>(1, batch);
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr failure;
    const auto work = [&] {
        try {
            for (std::size_t from = next.fetch_add(batch); from < n && !failed; from = next.fetch_add(batch))
                for (std::size_t i = from; i < std::min(n, from + batch); ++i) body(i);
        } catch (...) {
            if (!failed.exchange(true)) failure = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
    }
    work();
    for (std::thread& helper : helpers) helper.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace zelvar
