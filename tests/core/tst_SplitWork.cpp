// Work split in two halves: every item done once, the first half on the caller's thread and
// the second on another, or both on the caller's when no thread can be had; a failure on
// either side comes out once both halves have ended.
#include "SplitWork.h"

#include <QtTest>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

class TestSplitWork : public QObject
{
    Q_OBJECT

private slots:
    void Items_areEachDoneOnceByTheHalfTheyFallIn_data()
    {
        QTest::addColumn<int>("Count");
        QTest::addColumn<int>("Least");
        QTest::addColumn<bool>("Split");
        QTest::newRow("nothing") << 0 << 4 << false;
        QTest::newRow("one item") << 1 << 4 << false;
        QTest::newRow("one short of two threads' worth") << 7 << 4 << false;
        QTest::newRow("two threads' worth") << 8 << 4 << true;
        QTest::newRow("many, an odd count") << 100001 << 1000 << true;
        QTest::newRow("no least: one thread") << 50 << 0 << false;
    }
    void Items_areEachDoneOnceByTheHalfTheyFallIn()
    {
        QFETCH(int, Count);
        QFETCH(int, Least);
        QFETCH(bool, Split);
        std::vector<std::atomic<int>> done(static_cast<std::size_t>(Count));
        std::vector<int> workerOf(static_cast<std::size_t>(Count), -1);
        std::atomic<int> otherThreadCalls = 0;
        std::atomic<int> callerThreadCalls = 0;
        std::atomic<bool> wrongThread = false;
        const std::thread::id caller = std::this_thread::get_id();
        TSplitWork::Run(std::size_t(Count), std::size_t(Least),
                        [&](int Worker, std::size_t Begin, std::size_t End) {
                            const bool onCaller = std::this_thread::get_id() == caller;
                            ++(onCaller ? callerThreadCalls : otherThreadCalls);
                            if ((Worker == 0) != onCaller)
                                wrongThread = true;
                            for (std::size_t i = Begin; i < End; ++i) {
                                ++done[i];
                                workerOf[i] = Worker;
                            }
                        });
        QVERIFY2(!wrongThread, "worker 0 runs on the caller's thread, worker 1 on another");
        for (int i = 0; i < Count; ++i) {
            QCOMPARE(done[std::size_t(i)].load(), 1);
            const int expected = Split && i >= Count / 2 ? 1 : 0;
            QCOMPARE(workerOf[std::size_t(i)], expected);
        }
        QCOMPARE(otherThreadCalls.load(), Split ? 1 : 0);
        QCOMPARE(callerThreadCalls.load(), Count > 0 ? 1 : 0);
    }

    void Failure_comesOutOnceBothHalvesHaveEnded_data()
    {
        QTest::addColumn<int>("Failing");
        QTest::newRow("the caller's half fails") << 0;
        QTest::newRow("the helper's half fails") << 1;
    }
    void Failure_comesOutOnceBothHalvesHaveEnded()
    {
        QFETCH(int, Failing);
        std::atomic<bool> otherEnded = false;
        bool thrown = false;
        try {
            TSplitWork::Run(1000, 10, [&](int Worker, std::size_t, std::size_t) {
                if (Worker == Failing)
                    throw std::runtime_error("half failed");
                // The other half is slower than the failure, so Run must wait for it.
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                otherEnded = true;
            });
        } catch (const std::runtime_error& e) {
            thrown = QByteArray(e.what()) == "half failed";
            QVERIFY(otherEnded);
        }
        QVERIFY(thrown);
    }

    void WithoutASecondThread_theCallerDoesBothHalvesInTurn()
    {
        // A child whose address space is nearly used up cannot map a thread's stack.
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            long sizeKb = 0;
            if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
                char line[256];
                while (std::fgets(line, sizeof line, status))
                    if (std::sscanf(line, "VmSize: %ld", &sizeKb) == 1)
                        break;
                std::fclose(status);
            }
            const rlim_t limit = rlim_t(sizeKb + 1024) * 1024;
            const rlimit lowered{limit, limit};
            if (sizeKb == 0 || ::setrlimit(RLIMIT_AS, &lowered) != 0)
                ::_exit(2);
            // Stacks of this process's earlier threads are kept for new ones: taken up by
            // threads that wait until the child ends, none is left.
            for (int i = 0;; ++i) {
                if (i == 1000)
                    ::_exit(4);
                try {
                    std::thread([] {
                        std::this_thread::sleep_for(std::chrono::hours(1));
                    }).detach();
                } catch (const std::system_error&) {
                    break;
                }
            }
            struct
            {
                int Worker;
                std::size_t Begin, End;
                bool OnCaller;
            } calls[4] = {};
            int made = 0;
            const std::thread::id caller = std::this_thread::get_id();
            try {
                TSplitWork::Run(100, 10, [&](int Worker, std::size_t Begin, std::size_t End) {
                    if (made < 4)
                        calls[made] = {Worker, Begin, End, std::this_thread::get_id() == caller};
                    ++made;
                });
            } catch (...) {
                ::_exit(3);
            }
            const bool inTurn = made == 2 && calls[0].Worker == 0 && calls[0].Begin == 0 &&
                                calls[0].End == 50 && calls[1].Worker == 0 &&
                                calls[1].Begin == 50 && calls[1].End == 100 && calls[0].OnCaller &&
                                calls[1].OnCaller;
            ::_exit(inTurn ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }
};

QTEST_GUILESS_MAIN(TestSplitWork)
#include "tst_SplitWork.moc"
