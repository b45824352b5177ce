#include "SplitWork.h"

#include <exception>
#include <system_error>
#include <thread>

void TSplitWork::Run(std::size_t Count, std::size_t Least, const TWork& Work)
{
    if (Count == 0)
        return;
    if (Count < 2 * Least || Least == 0)
        return Work(0, 0, Count);
    const std::size_t half = Count / 2;
    std::exception_ptr helperFailure;
    std::thread helper;
    try {
        helper = std::thread([&] {
            try {
                Work(1, half, Count);
            } catch (...) {
                helperFailure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        // No second thread to be had: the caller does both halves, one after the other.
        Work(0, 0, half);
        return Work(0, half, Count);
    }
    try {
        Work(0, 0, half);
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
    if (helperFailure)
        std::rethrow_exception(helperFailure);
}
