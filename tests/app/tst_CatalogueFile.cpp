// Where the catalogue lives: beside the program when one stands there or the program is not
// installed, else in the user's data folder, made only at the first save; and a catalogue named
// on the command line, taken from the current folder.
#include "CatalogueFile.h"
#include "CommandLine.h"
#include "ExtListView.h"
#include "Main.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace TestSupport;

namespace {

// A program at Root/bin/dyskar; installed when its desktop entry is at Root/share/applications.
QString MakeProgram(const QString& Root, bool Installed, bool CatalogueBeside)
{
    QDir(Root).mkpath(QStringLiteral("bin"));
    const QString program = Root + QStringLiteral("/bin/dyskar");
    WriteAll(program, "program");
    if (Installed) {
        QDir(Root).mkpath(QStringLiteral("share/applications"));
        WriteAll(Root + QStringLiteral("/share/applications/pl.dyskar.Dyskar.desktop"), "entry");
    }
    if (CatalogueBeside)
        WriteAll(Root + QStringLiteral("/bin/Dyskar.dat"), "A\tB\t1\tC\t\r\n");
    return program;
}

} // namespace

class TestCatalogueFile : public QObject
{
    Q_OBJECT
private slots:
    void DefaultCatalogue_followsWhereTheProgramStands_data()
    {
        QTest::addColumn<bool>("Installed");
        QTest::addColumn<bool>("CatalogueBeside");
        QTest::addColumn<bool>("FolderWritable");
        QTest::addColumn<bool>("InDataFolder");
        QTest::newRow("build tree, no file") << false << false << true << false;
        QTest::newRow("build tree, file beside") << false << true << true << false;
        QTest::newRow("own read-only folder, no file") << false << false << false << false;
        QTest::newRow("installed, no file") << true << false << true << true;
        QTest::newRow("installed read-only, no file") << true << false << false << true;
        QTest::newRow("installed, file beside") << true << true << true << false;
        QTest::newRow("installed read-only, file beside") << true << true << false << false;
    }
    void DefaultCatalogue_followsWhereTheProgramStands()
    {
        QFETCH(bool, Installed);
        QFETCH(bool, CatalogueBeside);
        QFETCH(bool, FolderWritable);
        QFETCH(bool, InDataFolder);
        QTemporaryDir root;
        const QString program = MakeProgram(root.path(), Installed, CatalogueBeside);
        if (!FolderWritable)
            ::chmod(QFile::encodeName(root.filePath("bin")).constData(), 0555);
        const QString data = root.filePath("home/.local/share");
        const TCatalogueFile file = DefaultCatalogueFile(program, data);
        ::chmod(QFile::encodeName(root.filePath("bin")).constData(), 0755);
        QCOMPARE(file.Path, InDataFolder ? data + QStringLiteral("/dyskar/Dyskar.dat")
                                         : root.filePath("bin/Dyskar.dat"));
        QCOMPARE(file.MakeFolder, InDataFolder);
        QCOMPARE(IsInstalled(program), Installed);
        QVERIFY(!QFileInfo::exists(data)); // nothing made before a save
    }

    void DataFolder_isMadeAtTheFirstSaveOnly()
    {
        QTemporaryDir root;
        const QString path = root.filePath("home/.local/share/dyskar/Dyskar.dat");
        TMainForm::ShowMessage = [](QWidget*, const QString& Text) { QFAIL(qPrintable(Text)); };
        TMainForm main(TCatalogueFile{path, true});
        QCOMPARE(main.dfsList1->Items().Count(), 0);
        QVERIFY(!QFileInfo::exists(root.filePath("home")));
        QCOMPARE(main.StatusBar1->Panel(spActivity)->toolTip(), path);
        main.AllList->Items().Add(TRowText::FromFields({"Abba", "Pop", "1", "C", ""}));
        main.ZapiszClick(main.Zapisz);
        QCOMPARE(ReadAll(path), QByteArray("Abba\tPop\t1\tC\t\r\n"));
        QCOMPARE(QFileInfo(root.filePath("home/.local/share/dyskar")).permissions() &
                     (QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());
    }

    void DataFolderThatCannotBeMade_failsTheSaveWithItsReason()
    {
        if (!PermissionsBind())
            QSKIP("file permissions do not bind this process");
        QTemporaryDir root;
        ::chmod(QFile::encodeName(root.path()).constData(), 0555);
        const QString path = root.filePath("share/dyskar/Dyskar.dat");
        QStringList messages;
        TMainForm::ShowMessage = [&](QWidget*, const QString& Text) { messages << Text; };
        TMainForm main(TCatalogueFile{path, true});
        main.AllList->Items().Add(TRowText::FromFields({"Abba", "Pop", "1", "C", ""}));
        main.Zapisane = false;
        main.ZapiszClick(main.Zapisz);
        ::chmod(QFile::encodeName(root.path()).constData(), 0755);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(QString::fromUtf8("nie można utworzyć folderu")),
                 qPrintable(messages.first()));
        QVERIFY(!main.Zapisane);
        QVERIFY(!QFileInfo::exists(root.filePath("share")));
    }

    void NamedCatalogue_isOpenedAsTheDefaultOneIs_data()
    {
        QTest::addColumn<QString>("Kind");
        QTest::addColumn<int>("Rows");
        QTest::addColumn<bool>("Reported");
        QTest::newRow("a catalogue") << "file" << 1 << false;
        QTest::newRow("missing: an empty catalogue") << "missing" << 0 << false;
        QTest::newRow("unreadable") << "unreadable" << 0 << true;
        QTest::newRow("a folder") << "folder" << 0 << true;
    }
    void NamedCatalogue_isOpenedAsTheDefaultOneIs()
    {
        QFETCH(QString, Kind);
        QFETCH(int, Rows);
        QFETCH(bool, Reported);
        if (Kind == "unreadable" && !PermissionsBind())
            QSKIP("file permissions do not bind this process");
        QTemporaryDir dir;
        const QString path = dir.filePath("Moje.dat");
        if (Kind == "file" || Kind == "unreadable")
            WriteAll(path, "Abba\tPop\t1\tC\t\r\n");
        if (Kind == "unreadable")
            QFile::setPermissions(path, QFile::WriteOwner);
        if (Kind == "folder")
            QDir(dir.path()).mkdir("Moje.dat");
        QStringList messages;
        TMainForm::ShowMessage = [&](QWidget*, const QString& Text) { messages << Text; };
        const TCommandLine line =
            ReadCommandLine({QStringLiteral("dyskar"), QStringLiteral("Moje.dat")}, dir.path());
        TMainForm main(TCatalogueFile{line.File, false});
        QCOMPARE(main.DataFile(), path);
        QCOMPARE(main.dfsList1->Items().Count(), Rows);
        QCOMPARE(messages.size(), Reported ? 1 : 0);
        if (Reported)
            QVERIFY(messages.first().contains(QDir::toNativeSeparators(path)));
    }

    void CommandLine_namesTheCatalogueOrEndsTheProgram_data()
    {
        QTest::addColumn<QStringList>("Arguments");
        QTest::addColumn<int>("Exit"); // -1: the window opens
        QTest::addColumn<QString>("File");
        QTest::addColumn<QString>("ErrorPart");
        QTest::newRow("nothing: the default") << QStringList{} << -1 << ""
                                              << "";
        QTest::newRow("absolute") << QStringList{"/k/Moje.dat"} << -1 << "/k/Moje.dat"
                                  << "";
        QTest::newRow("relative, from the current folder")
            << QStringList{"sub/../Moje.dat"} << -1 << "/praca/Moje.dat"
            << "";
        QTest::newRow("a file that is not there yet")
            << QStringList{"Nowy.dat"} << -1 << "/praca/Nowy.dat"
            << "";
        QTest::newRow("two files")
            << QStringList{"a.dat", "b.dat"} << 2 << "" << QString::fromUtf8("tylko jeden plik");
        QTest::newRow("unknown option") << QStringList{"--kolor"} << 2 << ""
                                        << "kolor";
        QTest::newRow("help") << QStringList{"--help"} << 0 << ""
                              << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << ""
                                 << "";
    }
    void CommandLine_namesTheCatalogueOrEndsTheProgram()
    {
        QFETCH(QStringList, Arguments);
        QFETCH(int, Exit);
        QFETCH(QString, File);
        QFETCH(QString, ErrorPart);
        Arguments.prepend(QStringLiteral("dyskar"));
        const TCommandLine line = ReadCommandLine(Arguments, QStringLiteral("/praca"));
        QCOMPARE(line.ExitNow.value_or(-1), Exit);
        QCOMPARE(line.File, File);
        QVERIFY2(line.Errors.contains(ErrorPart), qPrintable(line.Errors));
        QCOMPARE(line.Errors.isEmpty(), Exit != 2);
        if (Exit == 0)
            QVERIFY(!line.Output.isEmpty());
    }
};

QTEST_MAIN(TestCatalogueFile)
#include "tst_CatalogueFile.moc"
