// Pieces made on two threads: handed on whole, in order, on the caller's thread; a failure on
// either side ends the run without a piece lost or made after it.
#include "PieceMill.h"

#include <QtTest>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

// Piece N's bytes: its number, and a length of its own, so a piece out of place shows.
std::string PieceText(std::size_t Piece)
{
    return std::string("<").append(std::to_string(Piece)).append(Piece % 13 * 50, '.').append(">");
}

void MakePiece(std::size_t Piece, TPieceBuffer& Out)
{
    // Uneven work, so the two threads overtake each other.
    if (Piece % 3 == 0)
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    const std::string text = PieceText(Piece);
    // Written in two parts, to grow the room while a piece is made.
    const std::size_t half = text.size() / 2;
    char* at = Out.Room(half);
    std::copy_n(text.data(), half, at);
    Out.MarkWritten(at + half);
    at = Out.Room(text.size() - half);
    std::copy_n(text.data() + half, text.size() - half, at);
    Out.MarkWritten(at + text.size() - half);
}

} // namespace

class TestPieceMill : public QObject
{
    Q_OBJECT

private slots:
    void Pieces_areHandedOnWholeAndInOrderOnTheCallersThread_data()
    {
        QTest::addColumn<int>("Pieces");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("two") << 2;
        QTest::newRow("more than may wait at once") << 200;
    }

    void Pieces_areHandedOnWholeAndInOrderOnTheCallersThread()
    {
        QFETCH(int, Pieces);
        const auto caller = std::this_thread::get_id();
        std::string expected;
        for (int i = 0; i < Pieces; ++i)
            expected += PieceText(std::size_t(i));
        std::string got;
        bool elsewhere = false;
        TPieceMill::Run(std::size_t(Pieces), MakePiece, [&](std::string_view Piece) {
            elsewhere = elsewhere || std::this_thread::get_id() != caller;
            got.append(Piece);
        });
        QVERIFY(!elsewhere);
        QCOMPARE(got.size(), expected.size());
        QVERIFY(got == expected);
    }

    void Failure_endsTheRunWithNothingAfterIt_data()
    {
        QTest::addColumn<bool>("InMaking");
        QTest::addColumn<int>("FailingPiece");
        QTest::newRow("making the first piece") << true << 0;
        QTest::newRow("making a piece the helper makes") << true << 41;
        QTest::newRow("making a piece the caller makes") << true << 42;
        QTest::newRow("handing on the first piece") << false << 0;
        QTest::newRow("handing on a later piece") << false << 57;
    }

    void Failure_endsTheRunWithNothingAfterIt()
    {
        QFETCH(bool, InMaking);
        QFETCH(int, FailingPiece);
        const auto failing = std::size_t(FailingPiece);
        std::atomic<int> makesRunning = 0;
        std::size_t taken = 0;
        bool inOrder = true;
        const auto make = [&](std::size_t Piece, TPieceBuffer& Out) {
            ++makesRunning;
            MakePiece(Piece, Out);
            --makesRunning;
            if (InMaking && Piece == failing)
                throw std::runtime_error("no room");
        };
        const auto take = [&](std::string_view Piece) {
            inOrder = inOrder && Piece == PieceText(taken);
            if (!InMaking && taken == failing)
                throw std::runtime_error("disk full");
            ++taken;
        };
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, TPieceMill::Run(100, make, take));
        // What went out went in order and stopped before the failing piece (a failed handing
        // on ends at once), and nothing is still being made once the run is over.
        QVERIFY(inOrder);
        if (InMaking)
            QVERIFY(taken <= failing);
        else
            QCOMPARE(taken, failing);
        QCOMPARE(makesRunning.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPieceMill)
#include "tst_PieceMill.moc"
