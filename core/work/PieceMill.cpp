#include "PieceMill.h"

#include <array>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// How far making may run ahead of handing on: bounds the memory a run holds.
constexpr std::size_t kWindow = 4;

class TMillState
{
public:
    TMillState(std::size_t Pieces, const TPieceMill::TMake& Make) : m_Pieces(Pieces), m_Make(Make)
    {
    }

    // The helper thread: makes pieces while any are left to make.
    void Help()
    {
        std::unique_lock held(m_Lock);
        while (!m_Stop && m_Next < m_Pieces) {
            if (!MakeOne(held))
                m_Changed.wait(held);
        }
    }

    // The calling thread: hands on each piece in order, and makes pieces while its next one
    // is still being made.
    void Drive(const TPieceMill::TTake& Take)
    {
        std::unique_lock held(m_Lock);
        while (m_Taken < m_Pieces) {
            if (m_Failure)
                std::rethrow_exception(m_Failure);
            const std::size_t slot = m_Taken % kWindow;
            if (m_Ready[slot]) {
                // No one writes a made piece's slot until it is handed on and counted.
                held.unlock();
                Take(m_Slots[slot].View());
                held.lock();
                m_Ready[slot] = false;
                ++m_Taken;
                m_Changed.notify_all();
            } else if (!MakeOne(held)) {
                m_Changed.wait(held);
            }
        }
    }

    void Stop()
    {
        const std::lock_guard held(m_Lock);
        m_Stop = true;
        m_Changed.notify_all();
    }

private:
    // Makes the next piece if the window has room for it; false when it has none.
    bool MakeOne(std::unique_lock<std::mutex>& Held)
    {
        if (m_Failure || m_Next >= m_Pieces || m_Next >= m_Taken + kWindow)
            return false;
        const std::size_t piece = m_Next++;
        TPieceBuffer& out = m_Slots[piece % kWindow];
        Held.unlock();
        std::exception_ptr failure;
        try {
            out.Clear();
            m_Make(piece, out);
        } catch (...) {
            failure = std::current_exception();
        }
        Held.lock();
        if (failure) {
            m_Failure = failure;
            m_Stop = true;
        } else {
            m_Ready[piece % kWindow] = true;
        }
        m_Changed.notify_all();
        return true;
    }

    const std::size_t m_Pieces;
    const TPieceMill::TMake& m_Make;
    std::mutex m_Lock;
    std::condition_variable m_Changed;
    std::size_t m_Next = 0;
    std::size_t m_Taken = 0;
    std::array<TPieceBuffer, kWindow> m_Slots;
    std::array<bool, kWindow> m_Ready = {};
    std::exception_ptr m_Failure;
    bool m_Stop = false;
};

} // namespace

namespace {

void RunAlone(std::size_t Pieces, const TPieceMill::TMake& Make, const TPieceMill::TTake& Take)
{
    TPieceBuffer out;
    for (std::size_t piece = 0; piece < Pieces; ++piece) {
        out.Clear();
        Make(piece, out);
        Take(out.View());
    }
}

} // namespace

void TPieceMill::Run(std::size_t Pieces, const TMake& Make, const TTake& Take)
{
    if (Pieces < 2)
        return RunAlone(Pieces, Make, Take);
    TMillState state(Pieces, Make);
    std::thread helper;
    try {
        helper = std::thread([&state] { state.Help(); });
    } catch (const std::system_error&) {
        // No second thread to be had: the pieces are made one after another.
        return RunAlone(Pieces, Make, Take);
    }
    try {
        state.Drive(Take);
    } catch (...) {
        state.Stop();
        helper.join();
        throw;
    }
    helper.join();
}
