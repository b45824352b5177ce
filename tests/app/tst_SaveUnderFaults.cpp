// A save of a 10 000-record catalogue, run in a process of its own, refused at each step by the
// system or killed at a random moment: the file holds exactly the old or exactly the new
// bytes, nothing of ours is left beside it, and every failure is reported.
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

namespace {

// Records long enough that a save takes more than one write.
QByteArray Catalogue(int Count, const char* Tag)
{
    const QByteArray title(80, 'x');
    QByteArray all;
    for (int i = 0; i < Count; ++i)
        all += QByteArray(Tag) + " \xa3\xf3\x64\xbc " + title + QByteArray::number(i) + "\tRock\t" +
               QByteArray::number(i % 3 + 1) + "\tA" + QByteArray::number(i % 40) +
               (i % 5 ? "\t" : "\tJanek") + "\r\n";
    return all;
}

struct TRun
{
    int ExitCode = -1;
    QByteArray Errors;
    bool Fired = false;
};

class TFolder
{
public:
    explicit TFolder(int Records = 10000)
        : Old(Catalogue(Records, "Stara")), New(Catalogue(Records + Records / 20, "Nowa"))
    {
        WriteAll(Source("old"), Old);
        WriteAll(Source("new"), New);
        QDir(m_Data.path()).mkdir("data");
        WriteAll(Data(), Old);
    }
    QString Data() const { return m_Data.filePath("data/Dyskar.dat"); }
    QString Source(const char* Name) const { return m_Data.filePath(QString(Name) + ".src"); }
    // What a save may have left in the data file's folder.
    QStringList Leftovers() const
    {
        QStringList names = QDir(m_Data.filePath("data")).entryList(QDir::Files | QDir::Hidden);
        names.removeAll("Dyskar.dat");
        names.removeAll("link.dat");
        return names;
    }
    bool LinkAnotherName() const
    {
        return ::link(QFile::encodeName(Data()).constData(),
                      QFile::encodeName(m_Data.filePath("data/link.dat")).constData()) == 0;
    }
    TRun Save(const QString& Fault = {}) const
    {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString fired = m_Data.filePath("fired");
        QFile::remove(fired);
        if (!Fault.isEmpty()) {
            env.insert("LD_PRELOAD", DYSKAR_FAULT_SHIM);
            env.insert("DYSKAR_FAULT", Fault);
            env.insert("DYSKAR_FAULT_FIRED", fired);
            env.insert("ASAN_OPTIONS", "detect_leaks=0:verify_asan_link_order=0");
        }
        tool.setProcessEnvironment(env);
        tool.start(DYSKAR_SAVE_TOOL, {Data(), Source("new")});
        tool.waitForFinished(60000);
        return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
                tool.readAllStandardError(), QFileInfo::exists(fired)};
    }
    QByteArray Old;
    QByteArray New;

private:
    QTemporaryDir m_Data;
};

ino_t InodeOf(const QString& Path)
{
    struct stat s = {};
    ::stat(QFile::encodeName(Path).constData(), &s);
    return s.st_ino;
}

} // namespace

class TestSaveUnderFaults : public QObject
{
    Q_OBJECT
private slots:
    void RefusedStep_keepsOldOrNewAndIsReported_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("inPlace");
        const char* calls[] = {"open",      "write", "pwrite",          "pread",  "fdatasync",
                               "ftruncate", "fsync", "posix_fallocate", "rename", "close"};
        for (const char* call : calls)
            for (const char* error : {"EIO", "ENOSPC"})
                for (int nth = 1; nth <= 3; ++nth)
                    for (bool inPlace : {false, true}) {
                        const QString fault = QString("%1:%2:%3").arg(call).arg(nth).arg(error);
                        QTest::newRow(qPrintable(fault + (inPlace ? " in place" : "")))
                            << fault << inPlace;
                    }
    }
    void RefusedStep_keepsOldOrNewAndIsReported()
    {
        QFETCH(QString, fault);
        QFETCH(bool, inPlace);
        TFolder folder;
        if (inPlace) // another name for the file keeps it from being replaced
            QVERIFY(folder.LinkAnotherName());
        const TRun run = folder.Save(fault);
        const QByteArray now = ReadAll(folder.Data());
        QVERIFY2(run.ExitCode == 0 || run.ExitCode == 1, run.Errors.constData());
        QCOMPARE(folder.Leftovers(), QStringList());
        if (run.ExitCode == 0) {
            QCOMPARE(now, folder.New);
            // Only a full disk may be got round, by writing in place.
            QVERIFY2(!run.Fired || fault.endsWith("ENOSPC"), qPrintable(fault));
            return;
        }
        QVERIFY(run.Fired);
        QVERIFY(!run.Errors.trimmed().isEmpty());
        // Once the new bytes are synced, a failing close or folder sync cannot take them back.
        if (fault.startsWith("close") || fault.startsWith("fsync"))
            QVERIFY(now == folder.Old || now == folder.New);
        else
            QCOMPARE(now, folder.Old);
    }

    void LargeFileSyncedAsItIsWritten_keepsOldOrNewAndIsReported_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("saved");
        // A file of more than a few megabytes is synced in stretches while it is written:
        // the first sync is one of those, the last the closing one.
        QTest::newRow("a sync while writing fails") << "fdatasync:1:EIO" << false;
        QTest::newRow("the closing sync fails") << "fdatasync:2:EIO" << false;
        QTest::newRow("no room when synced while writing") << "fdatasync:1:ENOSPC" << true;
    }
    void LargeFileSyncedAsItIsWritten_keepsOldOrNewAndIsReported()
    {
        QFETCH(QString, fault);
        QFETCH(bool, saved);
        TFolder folder(100000); // over 11 MB
        const TRun run = folder.Save(fault);
        QVERIFY(run.Fired);
        QCOMPARE(run.ExitCode, saved ? 0 : 1);
        QCOMPARE(ReadAll(folder.Data()) == folder.New, saved);
        if (!saved) {
            QVERIFY(ReadAll(folder.Data()) == folder.Old);
            QVERIFY(!run.Errors.trimmed().isEmpty());
        }
        QCOMPARE(folder.Leftovers(), QStringList());
    }

    void NoRoomForASecondCopy_savesInPlace_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("copy cannot be created") << "open:1:ENOSPC";
        QTest::newRow("copy cannot be written") << "write:1:EDQUOT";
        QTest::newRow("copy cannot be synced") << "fdatasync:1:ENOSPC";
    }
    void NoRoomForASecondCopy_savesInPlace()
    {
        QFETCH(QString, fault);
        TFolder folder;
        const ino_t before = InodeOf(folder.Data());
        const TRun run = folder.Save(fault);
        QVERIFY(run.Fired);
        QVERIFY2(run.ExitCode == 0, run.Errors.constData());
        QCOMPARE(ReadAll(folder.Data()), folder.New);
        QCOMPARE(InodeOf(folder.Data()), before);
        QCOMPARE(folder.Leftovers(), QStringList());
    }

    void KilledAtRandomMoments_leavesOldOrNew()
    {
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        TFolder folder;
        for (int kill = 0; kill < 24; ++kill) {
            QProcess tool;
            tool.start(DYSKAR_SAVE_TOOL,
                       {folder.Data(), folder.Source("new"), folder.Source("old")});
            QVERIFY(tool.waitForReadyRead(60000));
            QThread::usleep(random.bounded(1000, 150000));
            ::kill(pid_t(tool.processId()), SIGKILL);
            tool.waitForFinished();
            const QByteArray now = ReadAll(folder.Data());
            QVERIFY2(now == folder.Old || now == folder.New, qPrintable(QString::number(kill)));
            // At most our one copy, under the name the next save takes over.
            const QStringList left = folder.Leftovers();
            QVERIFY(left.isEmpty() || left == QStringList{"Dyskar.dat.zapisywanie"});
        }
        QCOMPARE(folder.Save().ExitCode, 0);
        QCOMPARE(ReadAll(folder.Data()), folder.New);
        QCOMPARE(folder.Leftovers(), QStringList());
    }
};

QTEST_MAIN(TestSaveUnderFaults)
#include "tst_SaveUnderFaults.moc"
