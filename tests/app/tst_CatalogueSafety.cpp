// A catalogue that is never lost: a rewrite in place cut off anywhere by a killed process is
// undone at the next start (or kept, when it had finished); a rewrite whose journal cannot be
// written is refused; a second copy is told at start-up that the catalogue is open; the last
// versions are kept, once a run.
#include "CatalogueLock.h"
#include "CatalogueSafety.h"
#include "ExtListView.h"
#include "FileBytes.h"
#include "KeptVersions.h"
#include "Main.h"
#include "RollbackJournal.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

namespace {

QByteArray Records(int Count, const char* Tag)
{
    QByteArray all;
    for (int i = 0; i < Count; ++i)
        all += QByteArray(Tag) + " " + QByteArray::number(i) + "\tRock\t1\tA1\t\r\n";
    return all;
}

// A catalogue in a folder of its own, and the user's folders beside it; the user's answers
// and the messages shown.
struct TPlace
{
    QTemporaryDir Dir;
    QString Path;
    QStringList Messages;
    QStringList Asked;
    bool AnswerYes = true;
    explicit TPlace(const QByteArray& Content)
    {
        for (const char* folder : {"data", "state", "share", "run"})
            QDir(Dir.path()).mkdir(folder);
        qputenv("XDG_STATE_HOME", QFile::encodeName(Dir.filePath("state")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(Dir.filePath("share")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(Dir.filePath("run")));
        Path = Dir.filePath("data/Dyskar.dat");
        WriteAll(Path, Content);
        TMainForm::ShowMessage = [this](QWidget*, const QString& Text) { Messages << Text; };
        TMainForm::AskUser = [this](QWidget*, const QString& Text) {
            Asked << Text;
            return AnswerYes;
        };
    }
    std::string Real() const { return FileBytes::RealPath(QFile::encodeName(Path).toStdString()); }
    QString JournalPath() const { return TRollbackJournal(Real()).Path(); }
    QStringList Versions() const
    {
        return TKeptVersions(Path, TCatalogueSafety::VersionsFolder()).Kept();
    }
    // A save of New in a process of its own, under the fault shim's settings.
    QProcess::ExitStatus SaveElsewhere(const QByteArray& New, const QProcessEnvironment& Shim)
    {
        const QString source = Dir.filePath("new.src");
        WriteAll(source, New);
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_PRELOAD", DYSKAR_FAULT_SHIM);
        env.insert("ASAN_OPTIONS", "detect_leaks=0:verify_asan_link_order=0");
        for (const QString& key : Shim.keys())
            env.insert(key, Shim.value(key));
        tool.setProcessEnvironment(env);
        tool.start(DYSKAR_SAVE_TOOL, {"--journal", Path, source});
        tool.waitForFinished(60000);
        return tool.exitStatus();
    }
    // A second name for the file: a save then rewrites it in place.
    bool LinkAnotherName() const
    {
        return ::link(QFile::encodeName(Path).constData(),
                      QFile::encodeName(Dir.filePath("data/link.dat")).constData()) == 0;
    }
};

void AddAndSave(TMainForm& Main, const char* Name)
{
    Main.AllList->Items().Add(TRowText::FromFields({Name, "Pop", "1", "C", ""}));
    Main.Zapisane = false;
    Main.ZapiszClick(Main.Zapisz);
}

} // namespace

class TestCatalogueSafety : public QObject
{
    Q_OBJECT
private slots:
    void RewriteCutOffAnywhere_isUndoneAtTheNextStart_data()
    {
        QTest::addColumn<int>("fortieths"); // of the new bytes written before the process died
        for (int k = 1; k <= 40; ++k)
            QTest::newRow(qPrintable(QStringLiteral("%1/40").arg(k))) << k;
    }
    void RewriteCutOffAnywhere_isUndoneAtTheNextStart()
    {
        QFETCH(int, fortieths);
        const QByteArray old = Records(400, "Stara");
        const QByteArray fresh = Records(420, "Nowa");
        TPlace place(old);
        QVERIFY(place.LinkAnotherName());
        QProcessEnvironment shim;
        shim.insert("DYSKAR_KILL_AFTER", QString::number(qint64(fresh.size()) * fortieths / 40));
        QCOMPARE(place.SaveElsewhere(fresh, shim), QProcess::CrashExit);
        QVERIFY(QFile::exists(place.JournalPath())); // the process died under its journal
        // The next start: the old bytes, or the new ones where they were all written.
        const bool whole = fortieths == 40;
        TMainForm main(place.Path);
        QCOMPARE(ReadAll(place.Path), whole ? fresh : old);
        QVERIFY(!QFile::exists(place.JournalPath()));
        QCOMPARE(place.Messages.size(), whole ? 0 : 1);
        if (!whole)
            QVERIFY(place.Messages.first().contains(QString::fromUtf8("został przerwany")));
        QCOMPARE(main.AllList->Items().Count(), whole ? 420 : 400);
    }

    void JournalThatCannotBeWritten_refusesTheRewrite_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("no room to open it") << "open:1:ENOSPC";
        QTest::newRow("no room to write it") << "pwrite:1:ENOSPC";
        QTest::newRow("its sync fails") << "fsync:1:EIO";
    }
    void JournalThatCannotBeWritten_refusesTheRewrite()
    {
        QFETCH(QString, fault);
        const QByteArray old = Records(50, "Stara");
        TPlace place(old);
        QVERIFY(place.LinkAnotherName());
        QProcessEnvironment shim;
        shim.insert("DYSKAR_FAULT", fault);
        shim.insert("DYSKAR_FAULT_FILE", "journal-");
        QCOMPARE(place.SaveElsewhere(Records(60, "Nowa"), shim), QProcess::NormalExit);
        QCOMPARE(ReadAll(place.Path), old);
        QVERIFY(!QFile::exists(place.JournalPath()));
    }

    void SecondCopy_isAskedAtStartUp_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("firstSavedBefore"); // the file made anew meanwhile
        QTest::newRow("no: it ends, nothing written") << false << false;
        QTest::newRow("yes: it opens") << true << false;
        QTest::newRow("after the first copy saved, no") << false << true;
        QTest::newRow("after the first copy saved, yes") << true << true;
    }
    void SecondCopy_isAskedAtStartUp()
    {
        QFETCH(bool, open);
        QFETCH(bool, firstSavedBefore);
        TPlace place(Records(3, "Abba"));
        TMainForm first(place.Path);
        QVERIFY(place.Asked.isEmpty());
        if (firstSavedBefore)
            AddAndSave(first, "Pierwsza");
        const QByteArray before = ReadAll(place.Path);
        const QStringList versions = place.Versions();
        place.AnswerYes = open;
        TMainForm second(place.Path);
        QCOMPARE(place.Asked.size(), 1);
        QVERIFY(place.Asked.first().contains(QString::fromUtf8("otwarty w innym oknie")));
        QCOMPARE(second.Refused(), !open);
        QCOMPARE(second.AllList->Items().Count(), open ? (firstSavedBefore ? 4 : 3) : 0);
        QCOMPARE(ReadAll(place.Path), before);
        QCOMPARE(place.Versions(), versions);
    }

    void OtherCatalogues_doNotLockEachOther()
    {
        TPlace place(Records(2, "A"));
        const QString other = place.Dir.filePath("data/Inny.dat");
        WriteAll(other, Records(2, "B"));
        TMainForm first(place.Path);
        TMainForm second(other);
        QVERIFY(place.Asked.isEmpty());
        QVERIFY(!second.Refused());
    }

    void JournalOfACatalogueOpenElsewhere_isLeftAlone()
    {
        const QByteArray old = Records(5, "Stara");
        TPlace place(old);
        struct stat st = {};
        ::stat(QFile::encodeName(place.Path).constData(), &st);
        QCOMPARE(TRollbackJournal(place.Real()).Write(st, old.toStdString(), "Nowa\r\n"), 0);
        WriteAll(place.Path, "Now"); // in place: cut off
        TCatalogueLock other;
        QCOMPARE(other.Take(place.Path), TCatalogueLock::lkTaken);
        TMainForm main(place.Path);
        QCOMPARE(place.Asked.size(), 1);
        QCOMPARE(ReadAll(place.Path), QByteArray("Now"));
        QVERIFY(QFile::exists(place.JournalPath()));
        other.Release();
        TMainForm later(place.Path);
        QCOMPARE(ReadAll(place.Path), old);
    }

    void Versions_areKeptOnceARunTheLastTenOfThem()
    {
        TPlace place(Records(2, "Start"));
        {
            TMainForm run(place.Path);
            for (const char* name : {"a", "b", "c"})
                AddAndSave(run, name);
        }
        QCOMPARE(place.Versions().size(), 1); // three saves in one run: one version
        QCOMPARE(ReadAll(place.Versions().first()), Records(2, "Start"));
        for (int run = 0; run < 11; ++run) {
            TMainForm main(place.Path);
            AddAndSave(main, "kolejna");
        }
        const QStringList versions = place.Versions();
        QCOMPARE(versions.size(), TKeptVersions::kKept);
        // The oldest two went: the first kept now holds what the second of those runs found.
        QCOMPARE(ReadAll(versions.first()).count('\n'), 2 + 3 + 1);
        QCOMPARE(ReadAll(versions.last()).count('\n'), 2 + 3 + 10);
        QVERIFY(place.Messages.isEmpty());
    }

    void VersionThatCannotBeKept_isReportedAndTheSaveGoesOn()
    {
        if (!PermissionsBind())
            QSKIP("file permissions do not bind this process");
        TPlace place(Records(2, "Start"));
        QDir(place.Dir.path()).mkpath("share/dyskar/kopie");
        ::chmod(QFile::encodeName(place.Dir.filePath("share/dyskar/kopie")).constData(), 0555);
        TMainForm main(place.Path);
        AddAndSave(main, "Nowa");
        ::chmod(QFile::encodeName(place.Dir.filePath("share/dyskar/kopie")).constData(), 0755);
        QCOMPARE(place.Messages.size(), 1);
        QVERIFY(place.Messages.first().contains(QString::fromUtf8("poprzedniej wersji")));
        QVERIFY(ReadAll(place.Path).contains("Nowa")); // the save went on
    }
};

QTEST_MAIN(TestCatalogueSafety)
#include "tst_CatalogueSafety.moc"
