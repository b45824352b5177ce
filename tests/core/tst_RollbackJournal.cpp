// The journal of a rewrite in place: at the next start a file that does not hold exactly the
// new bytes gets its old ones back; one that does, and a journal cut off while it was written,
// are left as they are; a journal of another file is left alone; a rollback that fails keeps it.
#include "FileBytes.h"
#include "RollbackJournal.h"
#include "UserFolders.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace TestSupport;

namespace {

const QByteArray kOld = "Stara\tRock\t1\tA1\t\r\nDruga\tPop\t2\tB\tJan\r\n";
const QByteArray kNew = "Nowa\tJazz\t3\tC\t\r\n";

std::string Real(const QString& Path)
{
    return FileBytes::RealPath(QFile::encodeName(Path).toStdString());
}

struct TCase
{
    QTemporaryDir Dir;
    QString File;
    TCase()
    {
        qputenv("XDG_STATE_HOME", QFile::encodeName(Dir.filePath("state")));
        File = Dir.filePath("Dyskar.dat");
        WriteAll(File, kOld);
    }
    TRollbackJournal Journal() const { return TRollbackJournal(Real(File)); }
    int Write() const
    {
        struct stat st = {};
        ::stat(QFile::encodeName(File).constData(), &st);
        return Journal().Write(st, kOld.toStdString(), kNew.toStdString());
    }
};

} // namespace

class TestRollbackJournal : public QObject
{
    Q_OBJECT
private slots:
    void NextStart_leavesTheOldOrTheNewBytesWhole_data()
    {
        QTest::addColumn<QByteArray>("left"); // what the cut rewrite left in the file
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("not begun") << kOld << int(TRollbackJournal::joRolledBack) << kOld;
        QTest::newRow("new bytes over the start of the old")
            << kNew + kOld.mid(kNew.size()) << int(TRollbackJournal::joRolledBack) << kOld;
        QTest::newRow("new bytes, not yet cut to length")
            << kNew + "x" << int(TRollbackJournal::joRolledBack) << kOld;
        QTest::newRow("half of the new bytes")
            << kNew.left(5) << int(TRollbackJournal::joRolledBack) << kOld;
        QTest::newRow("finished") << kNew << int(TRollbackJournal::joFinished) << kNew;
    }
    void NextStart_leavesTheOldOrTheNewBytesWhole()
    {
        QFETCH(QByteArray, left);
        QFETCH(int, outcome);
        QFETCH(QByteArray, after);
        TCase c;
        QCOMPARE(c.Write(), 0);
        QVERIFY(QFile::exists(c.Journal().Path()));
        // In place: the same file, the same inode.
        QFile file(c.File);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write(left);
        file.resize(left.size());
        file.close();
        const TRollbackJournal::TRecovery recovered = c.Journal().Recover();
        QCOMPARE(int(recovered.Outcome), outcome);
        QCOMPARE(ReadAll(c.File), after);
        QVERIFY(!QFile::exists(c.Journal().Path()));
        QCOMPARE(int(c.Journal().Recover().Outcome), int(TRollbackJournal::joNone));
    }

    void JournalCutOffWhileWritten_isDroppedAndTheFileLeftAlone_data()
    {
        QTest::addColumn<int>("keep"); // of the journal's bytes
        for (int keep : {0, 10, 40, 80, 100, 120})
            QTest::newRow(qPrintable(QStringLiteral("%1 bytes").arg(keep))) << keep;
        QTest::newRow("all but the last byte") << -1;
    }
    void JournalCutOffWhileWritten_isDroppedAndTheFileLeftAlone()
    {
        QFETCH(int, keep);
        TCase c;
        QCOMPARE(c.Write(), 0);
        QFile journal(c.Journal().Path());
        const qint64 whole = journal.size();
        QVERIFY(journal.resize(keep < 0 ? whole - 1 : std::min<qint64>(keep, whole - 1)));
        WriteAll(c.File, kNew + "mix");
        QCOMPARE(int(c.Journal().Recover().Outcome), int(TRollbackJournal::joNone));
        QCOMPARE(ReadAll(c.File), kNew + "mix");
        QVERIFY(!journal.exists());
    }

    void JournalOfAnotherFile_isLeftAlone()
    {
        TCase c;
        QCOMPARE(c.Write(), 0);
        // The catalogue replaced by another file under its name (made while the old one stood,
        // so that it is another file).
        WriteAll(c.File + ".new", kNew);
        QVERIFY(::rename(QFile::encodeName(c.File + ".new").constData(),
                         QFile::encodeName(c.File).constData()) == 0);
        QCOMPARE(int(c.Journal().Recover().Outcome), int(TRollbackJournal::joOtherFile));
        QCOMPARE(ReadAll(c.File), kNew);
        QVERIFY(QFile::exists(c.Journal().Path()));
    }

    void FailedRollback_keepsTheJournal()
    {
        if (!PermissionsBind())
            QSKIP("file permissions do not bind this process");
        TCase c;
        QCOMPARE(c.Write(), 0);
        WriteAll(c.File, kNew.left(3));
        ::chmod(QFile::encodeName(c.File).constData(), 0444);
        const TRollbackJournal::TRecovery recovered = c.Journal().Recover();
        ::chmod(QFile::encodeName(c.File).constData(), 0644);
        QCOMPARE(int(recovered.Outcome), int(TRollbackJournal::joFailed));
        QVERIFY(!recovered.Error.isEmpty());
        QVERIFY(QFile::exists(c.Journal().Path()));
        // Once the file may be written, the next start puts the old bytes back.
        QCOMPARE(int(c.Journal().Recover().Outcome), int(TRollbackJournal::joRolledBack));
        QCOMPARE(ReadAll(c.File), kOld);
    }

    void JournalThatCannotBeWritten_saysWhy()
    {
        if (!PermissionsBind())
            QSKIP("file permissions do not bind this process");
        TCase c;
        QDir(c.Dir.path()).mkdir("state");
        ::chmod(QFile::encodeName(c.Dir.filePath("state")).constData(), 0555);
        const int error = c.Write();
        ::chmod(QFile::encodeName(c.Dir.filePath("state")).constData(), 0755);
        QCOMPARE(error, EACCES);
        QVERIFY(!QFile::exists(c.Journal().Path()));
    }
};

QTEST_GUILESS_MAIN(TestRollbackJournal)
#include "tst_RollbackJournal.moc"
