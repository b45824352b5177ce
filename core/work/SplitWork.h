#pragma once

#include <cstddef>
#include <functional>

// Runs a range of independent work in two halves at once: one on the calling thread, one on a
// helper thread.
class TSplitWork
{
public:
    // Does the work of the items [Begin, End) as worker Worker: 0 on the calling thread, 1 on
    // the helper. The two halves share nothing but what Work only reads.
    using TWork = std::function<void(int Worker, std::size_t Begin, std::size_t End)>;

    // Worker 0 takes the first half of Count items and worker 1 the rest. With fewer than
    // twice Least items worker 0 does all at once; with no second thread to be had, worker 0
    // does both halves, one after the other. An exception from either half comes out of Run
    // once both have ended.
    static void Run(std::size_t Count, std::size_t Least, const TWork& Work);
};
