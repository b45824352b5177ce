// The data file: field extraction, loading, saving byte for byte and failing saves.
#include "Catalogue.h"
#include "ExtListView.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestSupport;

class TestCatalogue : public QObject
{
    Q_OBJECT

    QByteArray LoadAndSave(const QByteArray& Content, int* Rows = nullptr)
    {
        QTemporaryDir dir;
        const QString in = dir.filePath("in.dat");
        const QString out = dir.filePath("out.dat");
        WriteAll(in, Content);
        TdfsExtListView master;
        Catalogue::Load(in, master);
        if (Rows)
            *Rows = master.Items().Count();
        const auto saved = Catalogue::Save(out, master);
        return saved.Ok ? ReadAll(out) : QByteArray("<save failed>");
    }

    static QStringList Fields(const TdfsExtListView& List, int Row)
    {
        QStringList fields;
        const TListItem* item = List.Items().Item(Row);
        fields << QString::fromLatin1(item->Caption().data(), qsizetype(item->Caption().size()));
        for (int j = 0; j < item->SubItemCount(); ++j)
            fields << QString::fromLatin1(item->SubItem(j).data(),
                                          qsizetype(item->SubItem(j).size()));
        return fields;
    }

private slots:
    void PobierzPole_takesTheTextBetweenTabs_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("field");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("first field") << QByteArray("Abc\tRock\t2\tA1\t") << 0 << QByteArray("Abc");
        QTest::newRow("middle field")
            << QByteArray("Abc\tRock\t2\tA1\t") << 1 << QByteArray("Rock");
        QTest::newRow("empty last field") << QByteArray("Abc\tRock\t2\tA1\t") << 4 << QByteArray();
        QTest::newRow("beyond the last tab") << QByteArray("Abc\tRock") << 3 << QByteArray();
        QTest::newRow("blanks are text") << QByteArray(" a \t b ") << 1 << QByteArray(" b ");
        QTest::newRow("after the fifth tab is not field 4")
            << QByteArray("a\tb\tc\td\te\tf") << 4 << QByteArray("e");
        QTest::newRow("empty line") << QByteArray() << 0 << QByteArray();
    }
    void PobierzPole_takesTheTextBetweenTabs()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, field);
        QFETCH(QByteArray, expected);
        const std::string got =
            Catalogue::PobierzPole(std::string_view(line.constData(), std::size_t(line.size())),
                                   static_cast<unsigned char>(field));
        QCOMPARE(QByteArray::fromStdString(got), expected);
    }

    void DataFilePath_isBesideTheExecutable_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("expected");
        QTest::newRow("directory") << "/opt/dyskar/bin/dyskar"
                                   << "/opt/dyskar/bin/Dyskar.dat";
        QTest::newRow("root keeps its separator") << "/dyskar"
                                                  << "//Dyskar.dat";
    }
    void DataFilePath_isBesideTheExecutable()
    {
        QFETCH(QString, executable);
        QFETCH(QString, expected);
        QCOMPARE(Catalogue::DataFilePath(executable), expected);
    }

    void CanonicalFile_savesToTheSameBytes()
    {
        // Given every byte value that may stand inside a field
        QByteArray field;
        for (int b = 1; b < 256; ++b)
            if (b != 0x09 && b != 0x0D && b != 0x0A && b != 0x1A)
                field.append(char(b));
        QByteArray file;
        file += "Abc\tRock\t2\tA1\t\r\n";
        file += field + "\t" + field.left(40) + "\t" + field.mid(40, 3) + "\t" + field.right(9) +
                "\t" + field + "\r\n";
        file += "\t\t\t\t\r\n";
        file += "Kol\xea"
                "dy\tMuzyka\t2\tA1\tbrat\r\n";
        // When it is loaded and saved unchanged, then the bytes are the same
        int rows = 0;
        QCOMPARE(LoadAndSave(file, &rows), file);
        QCOMPARE(rows, 4);
    }

    void LargeFile_savesToTheSameBytes_data()
    {
        QTest::addColumn<int>("Records");
        // A save makes its lines in pieces of rows on two threads: around one piece, and
        // across more pieces than may wait to be written at once.
        QTest::newRow("one row short of a piece") << 32767;
        QTest::newRow("a piece") << 32768;
        QTest::newRow("a piece and a row") << 32769;
        QTest::newRow("seven pieces") << 7 * 32768 - 5;
    }

    void LargeFile_savesToTheSameBytes()
    {
        QFETCH(int, Records);
        // Given a file whose lines all differ, in length too
        QByteArray file;
        for (int i = 0; i < Records; ++i) {
            const QByteArray n = QByteArray::number(i);
            file += "P\xb3yta " + n + QByteArray(i % 37, 'x') + "\tRock " + n.right(2) + "\t" +
                    QByteArray::number(i % 9 + 1) + "\tA" + n.right(3) + "\t" +
                    (i % 5 == 0 ? "Ania" : "") + "\r\n";
        }
        // When it is loaded and saved unchanged, then every line comes back in its place
        int rows = 0;
        const QByteArray saved = LoadAndSave(file, &rows);
        QCOMPARE(rows, Records);
        QCOMPARE(saved.size(), file.size());
        QVERIFY(saved == file);
    }

    void Load_cutsLinesAsTheFileRulesSay_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("empty file") << QByteArray() << 0 << QByteArray();
        QTest::newRow("first byte Ctrl-Z") << QByteArray("\x1a"
                                                         "Abc\t\t\t\t\r\n")
                                           << 0 << QByteArray();
        QTest::newRow("extra CR LF at the end") << QByteArray("A\tB\tC\tD\tE\r\n\r\n") << 2
                                                << QByteArray("A\tB\tC\tD\tE\r\n\t\t\t\t\r\n");
        QTest::newRow("last line without a line end")
            << QByteArray("A\tB\tC\tD\tE") << 1 << QByteArray("A\tB\tC\tD\tE\r\n");
        QTest::newRow("LF-only lines are one record")
            << QByteArray("a\tb\tc\td\te\nf\tg\th\ti\tj\n") << 1
            << QByteArray("a\tb\tc\td\te\nf\r\n");
        QTest::newRow("lone CR ends a line")
            << QByteArray("a\rb") << 2 << QByteArray("a\t\t\t\t\r\nb\t\t\t\t\r\n");
        QTest::newRow("Ctrl-Z ends the file mid-line") << QByteArray("a\tb\x1a"
                                                                     "c\r\nd\r\n")
                                                       << 1 << QByteArray("a\tb\t\t\t\r\n");
        QTest::newRow("more than four tabs lose the rest")
            << QByteArray("a\tb\tc\td\te\tf\tg\r\n") << 1 << QByteArray("a\tb\tc\td\te\r\n");
        QTest::newRow("fewer than four tabs")
            << QByteArray("a\tb\r\n") << 1 << QByteArray("a\tb\t\t\t\r\n");
        QTest::newRow("NUL bytes are text")
            << QByteArray("a\0b\tc\t\t\t\r\n", 10) << 1 << QByteArray("a\0b\tc\t\t\t\r\n", 10);
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb\r\n") << 3
                                  << QByteArray("a\t\t\t\t\r\n\t\t\t\t\r\nb\t\t\t\t\r\n");
        // Far more lines than a file of this size holds of whole records.
        QByteArray shortLines, shortSaved;
        for (int i = 0; i < 3000; ++i) {
            shortLines += QByteArray::number(i) + "\r\n";
            shortSaved += QByteArray::number(i) + "\t\t\t\t\r\n";
        }
        QTest::newRow("thousands of short lines") << shortLines << 3000 << shortSaved;
    }
    void Load_cutsLinesAsTheFileRulesSay()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, rows);
        QFETCH(QByteArray, saved);
        int got = -1;
        QCOMPARE(LoadAndSave(content, &got), saved);
        QCOMPARE(got, rows);
    }

    void Load_splitsAFieldHoldingATabOnTheNextLoad()
    {
        // Given a record whose kind holds a TAB
        TdfsExtListView master;
        master.Items().Add()->SetTexts(TRowText::FromFields({"Abc", "Ro\tck", "2", "A1", ""}));
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        QVERIFY(Catalogue::Save(path, master).Ok);
        // Then it is written unchanged, and the next load shifts the later fields
        QCOMPARE(ReadAll(path), QByteArray("Abc\tRo\tck\t2\tA1\t\r\n"));
        TdfsExtListView again;
        Catalogue::Load(path, again);
        QCOMPARE(Fields(again, 0), (QStringList{"Abc", "Ro", "ck", "2", "A1"}));
    }

    void Load_takesLinesOfMegabytes()
    {
        QByteArray big(3 * 1024 * 1024 + 17, 'x');
        QByteArray file = big + "\tk\t1\ts\t\r\nB\t\t\t\t\r\n";
        int rows = 0;
        QCOMPARE(LoadAndSave(file, &rows), file);
        QCOMPARE(rows, 2);
    }

    void Load_ofAMissingOrUnreadableFileGivesAnEmptyCatalogue()
    {
        QTemporaryDir dir;
        TdfsExtListView master;
        QVERIFY(!Catalogue::Load(dir.filePath("missing.dat"), master).Opened);
        QVERIFY(!Catalogue::Load(dir.path(), master).Opened); // a directory
        QCOMPARE(master.Items().Count(), 0);
    }

    void Save_ofAnEmptyCatalogueWritesAnEmptyFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        WriteAll(path, "old\t\t\t\t\r\n");
        TdfsExtListView master;
        QVERIFY(Catalogue::Save(path, master).Ok);
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void Save_thatFailsLeavesTheOldFileIntact_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("disk full") << "disk full";
        QTest::newRow("directory in the way") << "directory";
        QTest::newRow("read-only folder") << "read-only";
    }
    void Save_thatFailsLeavesTheOldFileIntact()
    {
        QFETCH(QString, fault);
        QTemporaryDir dir;
        const QString path = dir.filePath("Dyskar.dat");
        const QByteArray old = "Old\tRock\t1\tA\t\r\n";
        TdfsExtListView master;
        for (int i = 0; i < 5000; ++i)
            master.Items().Add()->SetTexts(TRowText::FromFields(
                {"A rather long name " + std::to_string(i), "Rock", "1", "A1", ""}));
        Catalogue::TSaveResult result;
        if (fault == "directory") {
            QVERIFY(QDir().mkpath(path + "/inside"));
            result = Catalogue::Save(path, master);
            QVERIFY(QFileInfo(path).isDir());
            QVERIFY(QFileInfo::exists(path + "/inside"));
        } else if (fault == "read-only") {
            if (geteuid() == 0)
                QSKIP("root writes into read-only folders");
            WriteAll(path, old);
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
            result = Catalogue::Save(path, master);
            QFile::setPermissions(dir.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QCOMPARE(ReadAll(path), old);
        } else {
            WriteAll(path, old);
            {
                TFileSizeLimit limit(64 * 1024);
                result = Catalogue::Save(path, master);
            }
            QCOMPARE(ReadAll(path), old);
        }
        QVERIFY(!result.Ok);
        QVERIFY(!result.Error.isEmpty());
        QCOMPARE(master.Items().Count(), 5000);
        // No half-written file is left beside the old one.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                 fault == "directory" ? 0 : 1);
    }

    void DiscCount_readsAsTheStatusBarCounts_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<qint64>("count");
        QTest::newRow("number") << QByteArray("3") << qint64(3);
        QTest::newRow("leading blank") << QByteArray(" 3") << qint64(3);
        QTest::newRow("followed by text") << QByteArray("3 CD") << qint64(3);
        QTest::newRow("empty") << QByteArray() << qint64(0);
        QTest::newRow("letters") << QByteArray("dwie") << qint64(0);
        QTest::newRow("negative number") << QByteArray("-3") << qint64(-3);
        QTest::newRow("sign dropped when text follows") << QByteArray("-3x") << qint64(3);
        QTest::newRow("plus sign") << QByteArray("+4") << qint64(4);
        QTest::newRow("hexadecimal") << QByteArray("$1F") << qint64(31);
        QTest::newRow("hexadecimal then text") << QByteArray("$1Fz") << qint64(31);
        QTest::newRow("dollar alone") << QByteArray("$") << qint64(0);
        QTest::newRow("trailing blank") << QByteArray("7 ") << qint64(7);
        QTest::newRow("digits stop past the limit")
            << QByteArray("99999999999") << qint64(999999999);
        QTest::newRow("largest decimal") << QByteArray("2147483649") << qint64(2147483649LL);
        QTest::newRow("largest hexadecimal") << QByteArray("$FFFFFFFF") << qint64(4294967295LL);
    }
    void DiscCount_readsAsTheStatusBarCounts()
    {
        QFETCH(QByteArray, field);
        QFETCH(qint64, count);
        QCOMPARE(
            Catalogue::DiscCount(std::string_view(field.constData(), std::size_t(field.size()))),
            count);
    }
};

QTEST_MAIN(TestCatalogue)
#include "tst_Catalogue.moc"
