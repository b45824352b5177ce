// The lock that tells a second copy of the program that a catalogue is open: one catalogue,
// one holder; other catalogues, other locks; a hard link is the same catalogue; a copy that is
// killed leaves no lock; the lock follows a save that makes the file anew.
#include "CatalogueLock.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace TestSupport;

namespace {

struct TPlace
{
    QTemporaryDir Dir;
    TPlace() { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(Dir.filePath("run"))); }
    QString File(const char* Name, bool Make = true)
    {
        QDir(Dir.path()).mkdir("run");
        const QString path = Dir.filePath(Name);
        if (Make)
            WriteAll(path, "A\tB\t1\tC\t\r\n");
        return path;
    }
};

} // namespace

class TestCatalogueLock : public QObject
{
    Q_OBJECT
private slots:
    void SecondTake_findsTheCatalogueHeld_data()
    {
        QTest::addColumn<QString>("second"); // how the second copy names the catalogue
        QTest::addColumn<bool>("held");
        QTest::newRow("the same path") << "same" << true;
        QTest::newRow("a hard link to the same file") << "link" << true;
        QTest::newRow("a symbolic link to it") << "symlink" << true;
        QTest::newRow("another catalogue") << "other" << false;
        QTest::newRow("the same catalogue, not made yet") << "missing" << true;
    }
    void SecondTake_findsTheCatalogueHeld()
    {
        QFETCH(QString, second);
        QFETCH(bool, held);
        TPlace place;
        const bool missing = second == "missing";
        const QString first = place.File("Dyskar.dat", !missing);
        QString other = first;
        if (second == "link") {
            other = place.File("Druga.dat", false);
            QVERIFY(::link(QFile::encodeName(first).constData(),
                           QFile::encodeName(other).constData()) == 0);
        } else if (second == "symlink") {
            other = place.File("Skrot.dat", false);
            QVERIFY(QFile::link(first, other));
        } else if (second == "other") {
            other = place.File("Inny.dat");
        }
        TCatalogueLock a;
        QCOMPARE(a.Take(first), TCatalogueLock::lkTaken);
        TCatalogueLock b;
        QCOMPARE(b.Take(other), held ? TCatalogueLock::lkHeldElsewhere : TCatalogueLock::lkTaken);
        QCOMPARE(TCatalogueLock::HeldElsewhere(other), true);
        a.Release();
        if (held)
            QCOMPARE(b.Take(other), TCatalogueLock::lkTaken);
    }

    void KilledCopy_leavesNoLock()
    {
        TPlace place;
        const QString file = place.File("Dyskar.dat");
        int ready[2];
        QVERIFY(::pipe(ready) == 0);
        const pid_t child = ::fork();
        if (child == 0) {
            TCatalogueLock lock;
            const char taken = lock.Take(file) == TCatalogueLock::lkTaken ? 'y' : 'n';
            (void)!::write(ready[1], &taken, 1);
            for (;;)
                ::pause();
        }
        char taken = 0;
        QCOMPARE(::read(ready[0], &taken, 1), ssize_t(1));
        QCOMPARE(taken, 'y');
        TCatalogueLock mine;
        QCOMPARE(mine.Take(file), TCatalogueLock::lkHeldElsewhere);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        QCOMPARE(mine.Take(file), TCatalogueLock::lkTaken);
        ::close(ready[0]);
        ::close(ready[1]);
    }

    void Lock_followsAFileMadeAnew()
    {
        TPlace place;
        const QString file = place.File("Dyskar.dat");
        TCatalogueLock a;
        QCOMPARE(a.Take(file), TCatalogueLock::lkTaken);
        // A save puts a new file in the old one's place: another inode.
        WriteAll(file + ".new", "Nowa\t\t\t\t\r\n");
        QVERIFY(::rename(QFile::encodeName(file + ".new").constData(),
                         QFile::encodeName(file).constData()) == 0);
        QVERIFY(a.Follow(file));
        TCatalogueLock b;
        QCOMPARE(b.Take(file), TCatalogueLock::lkHeldElsewhere);
    }
};

QTEST_GUILESS_MAIN(TestCatalogueLock)
#include "tst_CatalogueLock.moc"
