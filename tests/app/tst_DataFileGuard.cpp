// The catalogue never replaces a data file it has not read whole, nor one that another copy of
// the program has saved since, without asking the user.
#include "support/MainFormFixture.h"

#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

namespace {

// Answers every question of the program and remembers them.
struct TAnswers
{
    bool Yes = false;
    QStringList Asked;
    TAnswers()
    {
        TMainForm::AskUser = [this](QWidget*, const QString& Text) {
            Asked << Text;
            return Yes;
        };
    }
};

void DeleteFirstRow(TMainForm& Main)
{
    Main.dfsList1->SetSelected(Main.dfsList1->Items().Item(0));
    QTest::mouseClick(Main.Usun, Qt::LeftButton);
}

} // namespace

class TestDataFileGuard : public QObject
{
    Q_OBJECT
private slots:
    void UnreadableFile_isReportedAndReplacedOnlyWhenTheUserSaysSo_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("the user keeps the file") << false;
        QTest::newRow("the user replaces it") << true;
    }
    void UnreadableFile_isReportedAndReplacedOnlyWhenTheUserSaysSo()
    {
        QFETCH(bool, yes);
        // A link that points at itself: there, but no program can read it.
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        QVERIFY(QFile::link(path, path));
        TAnswers answers;
        answers.Yes = yes;
        QStringList messages;
        TMainForm::ShowMessage = [&](QWidget*, const QString& Text) { messages << Text; };
        TMainForm main(path);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().startsWith(QString::fromUtf8("Nie można odczytać pliku")),
                 qPrintable(messages.first()));
        QCOMPARE(main.AllList->Items().Count(), 0);
        // Saving the empty catalogue asks first, even without a change.
        QTest::mouseClick(main.Zapisz, Qt::LeftButton);
        QCOMPARE(answers.Asked.size(), 1);
        QCOMPARE(QFileInfo(path).isSymLink(), !yes);
    }

    void FileWithoutReadPermission_isNotReplacedWithoutAsking()
    {
        if (!PermissionsBind())
            QSKIP("the administrator reads a file without read permission");
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        WriteAll(path, kSmall);
        ::chmod(QFile::encodeName(path).constData(), 0200);
        TAnswers answers;
        QStringList messages;
        TMainForm::ShowMessage = [&](QWidget*, const QString& Text) { messages << Text; };
        TMainForm main(path);
        QCOMPARE(messages.size(), 1);
        QTest::mouseClick(main.Zapisz, Qt::LeftButton);
        QCOMPARE(answers.Asked.size(), 1);
        ::chmod(QFile::encodeName(path).constData(), 0600);
        QCOMPARE(ReadAll(path), kSmall);
    }

    void ReadBrokenOff_isReportedAndNotReplacedWithoutAsking()
    {
        // A file whose reading fails with an I/O error: the process's own memory at 0.
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path));
        TAnswers answers; // no
        QStringList messages;
        TMainForm::ShowMessage = [&](QWidget*, const QString& Text) { messages << Text; };
        TMainForm main(path);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().startsWith(QString::fromUtf8("Nie można w całości odczytać")),
                 qPrintable(messages.first()));
        main.AllList->Items().Add()->SetTexts(TRowText::FromFields({"Nowa", "", "", "", ""}));
        QTest::mouseClick(main.Zapisz, Qt::LeftButton);
        QCOMPARE(answers.Asked.size(), 1);
        QVERIFY(answers.Asked.first().contains(QString::fromUtf8("nie został w całości")));
        QVERIFY(QFileInfo(path).isSymLink());
        QCOMPARE(messages.size(), 1); // declining is not a failure to report
    }

    void AnotherCopysSave_isNotOverwrittenSilently_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("the user keeps the other copy's save") << false;
        QTest::newRow("the user overwrites it") << true;
    }
    void AnotherCopysSave_isNotOverwrittenSilently()
    {
        QFETCH(bool, yes);
        TFixture a(&kSmall);
        // Copy B works on the same file, opened though the user was told that A has it open,
        // and saves a record of its own first.
        TMainForm b(a.Path);
        QCOMPARE(a.Asked.size(), 1);
        QVERIFY(a.Asked.first().contains(QString::fromUtf8("otwarty w innym oknie")));
        a.Asked.clear();
        a.AnswerYes = yes;
        b.AllList->Items().Add()->SetTexts(TRowText::FromFields({"Od B", "", "", "", ""}));
        QTest::mouseClick(b.Zapisz, Qt::LeftButton);
        QVERIFY(a.Asked.isEmpty()); // its own file, unchanged since it read it
        const QByteArray saved = ReadAll(a.Path);
        QVERIFY(saved.contains("Od B"));

        DeleteFirstRow(*a.Main);
        QTest::mouseClick(a.Main->Zapisz, Qt::LeftButton);
        QCOMPARE(a.Asked.size(), 1);
        QCOMPARE(ReadAll(a.Path).contains("Od B"), !yes);
        if (!yes)
            QCOMPARE(ReadAll(a.Path), saved);
    }

    void OwnSaves_doNotAsk()
    {
        TFixture f(&kSmall);
        DeleteFirstRow(*f.Main);
        QTest::mouseClick(f.Main->Zapisz, Qt::LeftButton);
        DeleteFirstRow(*f.Main);
        QTest::mouseClick(f.Main->Zapisz, Qt::LeftButton);
        QVERIFY(f.Asked.isEmpty());
        QCOMPARE(ReadAll(f.Path).count('\n'), 3);
    }
};

QTEST_MAIN(TestDataFileGuard)
#include "tst_DataFileGuard.moc"
