#pragma once

#include "PieceBuffer.h"

#include <cstddef>
#include <functional>
#include <string_view>

// Makes the numbered pieces of an output on two threads and hands each on in order, so that
// making the next pieces overlaps handing on the one before.
class TPieceMill
{
public:
    // Fills Out (handed over empty) with piece number Piece. Runs on two threads at once, so
    // it may only read what nothing changes until Run returns.
    using TMake = std::function<void(std::size_t Piece, TPieceBuffer& Out)>;
    // Receives the pieces in their order, always on the thread that called Run.
    using TTake = std::function<void(std::string_view Piece)>;

    // An exception from either function ends the run and comes out of Run, once the other
    // thread has stopped.
    static void Run(std::size_t Pieces, const TMake& Make, const TTake& Take);
};
