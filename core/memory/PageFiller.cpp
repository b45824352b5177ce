#include "PageFiller.h"

#include "PageMap.h"

#include <sys/mman.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace PageFiller {
namespace {

#ifdef MADV_POPULATE_WRITE
constexpr int kPopulateWrite = MADV_POPULATE_WRITE;
#else
constexpr int kPopulateWrite = 23; // older headers lack it; older systems refuse it, harmlessly
#endif

struct TRequest
{
    void* Block;
    std::size_t Size;
};

// The requests and the one thread that serves them, first in, first served. Made once and never
// destroyed: the thread may still wait on them while the program ends.
struct TFiller
{
    std::mutex Lock;
    std::condition_variable Changed;
    std::vector<TRequest> Waiting; // a few at most
    void* Filling = nullptr;
    bool Started = false;
    bool Failed = false;

    void Serve()
    {
        std::unique_lock lock(Lock);
        for (;;) {
            Changed.wait(lock, [this] { return !Waiting.empty(); });
            const TRequest request = Waiting.front();
            Waiting.erase(Waiting.begin());
            Filling = request.Block;
            lock.unlock();
            // A wish: refused where the system is too old for it, the pages then come on use.
            ::madvise(request.Block, request.Size, kPopulateWrite);
            lock.lock();
            Filling = nullptr;
            Changed.notify_all();
        }
    }
};

// Null where not even that much memory could be had.
TFiller* Filler()
{
    static TFiller* const filler = new (std::nothrow) TFiller;
    return filler;
}

} // namespace

void Fill(void* Block, std::size_t Size) noexcept
{
    if (PageMap::kWatched || !Block)
        return; // the sanitizer's heap, not the system's pages
    TFiller* const made = Filler();
    if (!made)
        return;
    TFiller& filler = *made;
    try {
        std::lock_guard lock(filler.Lock);
        if (filler.Failed)
            return;
        if (!filler.Started) {
            try {
                std::thread([&filler] { filler.Serve(); }).detach();
            } catch (const std::system_error&) {
                filler.Failed = true; // no thread to be had: pages come when first written
                return;
            }
            filler.Started = true;
        }
        filler.Waiting.push_back({Block, Size});
        filler.Changed.notify_all();
    } catch (const std::exception&) {
        // nothing asked (no room for the request): the pages come when first written
    }
}

void Forget(void* Block)
{
    TFiller* const made = PageMap::kWatched ? nullptr : Filler();
    if (!made)
        return;
    TFiller& filler = *made;
    std::unique_lock lock(filler.Lock);
    std::erase_if(filler.Waiting, [Block](const TRequest& R) { return R.Block == Block; });
    filler.Changed.wait(lock, [&] { return filler.Filling != Block; });
}

void Settle()
{
    TFiller* const made = PageMap::kWatched ? nullptr : Filler();
    if (!made)
        return;
    TFiller& filler = *made;
    std::unique_lock lock(filler.Lock);
    filler.Changed.wait(lock, [&] { return filler.Waiting.empty() && !filler.Filling; });
}

} // namespace PageFiller
