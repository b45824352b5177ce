// The catalogue to and from CSV: the shown rows out as Polish spreadsheets read them, records
// in from the forms spreadsheets write, each line that cannot come in named with its number and
// why, the whole import taken back with one Ctrl+Z, and a failed export reported.
#include "CsvFormat.h"
#include "ImportDialog.h"
#include "Locale.h"
#include "support/ImportDriver.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QStringEncoder>

#include <sys/stat.h>

using namespace TestSupport;

namespace {

QByteArray Utf8(const char* Text)
{
    return QByteArray(Text);
}

} // namespace

class TestCsv : public QObject
{
    Q_OBJECT
private slots:
    void Export_writesWhatPolishSpreadsheetsRead()
    {
        TFixture f(nullptr);
        f.Main->AllList->Items().Add(TRowText::FromFields(
            {Cp1250::FromUtf8("Łódź; miasto"), "=SUMA(A1)", "\"2\"", "-A1", "@brat"}));
        f.Main->AllList->Items().Add(TRowText::FromFields({"Abba", "Pop", "1", "", ""}));
        f.Main->Wyswietl(f.Main.get());
        f.Main->dfsList1->SortByColumn(0, true);
        const QString path = f.Dir.filePath("lista.csv");
        DialogParts::AskFileName = [path](QWidget*, const QString&, const QString&, bool) {
            return path;
        };
        f.Main->EksportujClick(f.Main.get());
        QCOMPARE(ReadAll(path), Utf8("\xef\xbb\xbfNazwa;Rodzaj;Ilość CD;Półka;Pożyczone\r\n"
                                     "Abba;Pop;1;;\r\n"
                                     "\"Łódź; miasto\";=SUMA(A1);\"\"\"2\"\"\";-A1;@brat\r\n"));
        QVERIFY(f.Messages.isEmpty());
    }

    void Export_followsTheShownRowsNotTheColumnOrder()
    {
        TFixture f(&kSmall);
        QTest::mouseClick(f.Main->Nieporz, Qt::LeftButton); // the lent ones only
        const int order[] = {4, 3, 2, 1, 0};
        f.Main->dfsList1->SetColumnOrder(5, order);
        const QString path = f.Dir.filePath("lista"); // the suffix comes by itself
        DialogParts::AskFileName = [path](QWidget*, const QString&, const QString&, bool) {
            return path;
        };
        f.Main->EksportujClick(f.Main.get());
        const QList<QByteArray> lines = ReadAll(path + ".csv").split('\n');
        QCOMPARE(lines.size(), 4); // header, two records, nothing after the last CR LF
        QVERIFY(lines[1].startsWith("Atlas;Program;12;B;brat") ||
                lines[1].startsWith("Abba;Pop;1;C;Ania"));
    }

    void FailedExport_isReportedAndTheOldFileKept_data()
    {
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::newRow("a folder that may not be written: no file made") << true;
        QTest::newRow("a folder in place of the file: the folder kept") << false;
    }
    void FailedExport_isReportedAndTheOldFileKept()
    {
        QFETCH(bool, readOnlyFolder);
        if (readOnlyFolder && !PermissionsBind())
            QSKIP("file permissions do not bind this process");
        TFixture f(&kSmall);
        QDir(f.Dir.path()).mkdir("out");
        const QString path = f.Dir.filePath(readOnlyFolder ? "out/lista.csv" : "out/lista.csv");
        if (readOnlyFolder)
            ::chmod(QFile::encodeName(f.Dir.filePath("out")).constData(), 0555);
        else
            QDir(f.Dir.path()).mkpath("out/lista.csv");
        DialogParts::AskFileName = [path](QWidget*, const QString&, const QString&, bool) {
            return path;
        };
        f.Main->EksportujClick(f.Main.get());
        ::chmod(QFile::encodeName(f.Dir.filePath("out")).constData(), 0755);
        QCOMPARE(f.Messages.size(), 1);
        QVERIFY(f.Messages.first().startsWith(QString::fromUtf8("Nie można wyeksportować")));
        // Nothing of the export is left behind.
        QCOMPARE(QDir(f.Dir.filePath("out")).entryList(QDir::Files | QDir::Hidden).size(), 0);
        QCOMPARE(QFileInfo(path).isDir(), !readOnlyFolder);
    }

    void RoundTrip_bringsBackEveryCharacterThatCanBeTyped()
    {
        // Every byte the data file may hold, in names and kinds, with separators and quotes.
        std::string all;
        for (int b = 32; b < 256; ++b)
            all += char(b);
        TFixture f(nullptr);
        const std::vector<std::string> names = {all, "a;b", "\"cytat\"", " spacja ", "=1+1"};
        for (const std::string& name : names)
            f.Main->AllList->Items().Add(TRowText::FromFields({name, name, "1", "A", ""}));
        f.Main->Wyswietl(f.Main.get());
        const QString path = f.Dir.filePath("lista.csv");
        DialogParts::AskFileName = [path](QWidget*, const QString&, const QString&, bool) {
            return path;
        };
        f.Main->EksportujClick(f.Main.get());
        const Csv::TReading reading = Csv::Read(ReadAll(path));
        QVERIFY(reading.Problems.empty());
        QCOMPARE(reading.Records.size(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            QCOMPARE(reading.Records[i][0], names[i]);
            QCOMPARE(reading.Records[i][1], names[i]);
        }
    }

    void Read_takesTheFormsSpreadsheetsWrite_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QString::fromUtf8("Nazwa;Rodzaj;Ilość CD;Półka;Pożyczone\r\n"
                                               "Łódź;Pop;2;A1;\r\n");
        QTest::newRow("UTF-8 with a mark") << "\xef\xbb\xbf" + text.toUtf8();
        QTest::newRow("UTF-8 without one") << text.toUtf8();
        auto le = QStringEncoder(QStringEncoder::Utf16LE);
        QTest::newRow("UTF-16 LE with its mark") << QByteArray("\xff\xfe") + QByteArray(le(text));
        auto be = QStringEncoder(QStringEncoder::Utf16BE);
        QTest::newRow("UTF-16 BE with its mark") << QByteArray("\xfe\xff") + QByteArray(be(text));
        QTest::newRow("Windows-1250") << QByteArray(Cp1250::FromUnicode(text)->c_str());
        QTest::newRow("commas") << QString::fromUtf8("Łódź,Pop,2,A1,\n").toUtf8();
        QTest::newRow("TABs") << QString::fromUtf8("Łódź\tPop\t2\tA1\t\n").toUtf8();
        QTest::newRow("padded with separators")
            << QString::fromUtf8("Łódź;Pop;2;A1;;;;\n").toUtf8();
        QTest::newRow("fewer fields, no line end") << QString::fromUtf8("Łódź;Pop;2;A1").toUtf8();
        QTest::newRow("quoted, one quote doubled")
            << QString::fromUtf8("\"Łódź\";\"Pop\";2;\"A1\";\"\"\"\"\n").toUtf8();
    }
    void Read_takesTheFormsSpreadsheetsWrite()
    {
        QFETCH(QByteArray, bytes);
        const Csv::TReading reading = Csv::Read(bytes);
        QVERIFY(reading.Problems.empty());
        QCOMPARE(reading.Records.size(), std::size_t(1));
        QCOMPARE(reading.Records[0][0], Cp1250::FromUtf8("Łódź"));
        QCOMPARE(reading.Records[0][1], std::string("Pop"));
        QCOMPARE(reading.Records[0][3], std::string("A1"));
        QVERIFY(reading.Records[0][4].empty() || reading.Records[0][4] == "\"");
    }

    void Read_namesEachLineThatCannotComeIn_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QString>("reason"); // of the last problem
        QTest::addColumn<int>("good");
        QTest::newRow("a character outside Windows-1250")
            << Utf8("a;b\n漢字;x\nc;d\n") << QList<int>{2} << "spoza strony kodowej" << 2;
        QTest::newRow("a TAB inside a quoted field")
            << Utf8("a;b\n\"x\ty\";z\n") << QList<int>{2} << "tabulator" << 1;
        QTest::newRow("a sixth field")
            << Utf8("a;b;c;d;e;f\n") << QList<int>{1} << "więcej niż pięć" << 0;
        // A line end is no more welcome in the data file than a TAB; the lines after it are
        // counted as they stand in the file.
        QTest::newRow("after a quoted field that spans lines")
            << Utf8("\"a;b\";c\nd;\"e\n\nf\";g\nh;i\n\"\t\";f\n") << QList<int>{2, 6} << "tabulator"
            << 2;
        QTest::newRow("a quote left open")
            << Utf8("a;b\nc;d\n\"e;f\ng;h\n") << QList<int>{3} << "nie został zamknięty" << 2;
        QTest::newRow("Ctrl-Z") << Utf8("a\x1a;b\n") << QList<int>{1} << "Ctrl-Z" << 0;
    }
    void Read_namesEachLineThatCannotComeIn()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, lines);
        QFETCH(QString, reason);
        QFETCH(int, good);
        const Csv::TReading reading = Csv::Read(bytes);
        QList<int> found;
        for (const Csv::TProblem& problem : reading.Problems)
            found << problem.Line;
        QCOMPARE(found, lines);
        QVERIFY2(reading.Problems.back().Reason.contains(reason),
                 qPrintable(reading.Problems.back().Reason));
        QCOMPARE(int(reading.Records.size()), good);
    }

    void LongFileWithAQuoteLeftOpen_isOneProblem()
    {
        QByteArray bytes = "a;b\nc;d\n\"e;f\n";
        bytes += QByteArray(5 * 1024 * 1024, 'x');
        const Csv::TReading reading = Csv::Read(bytes);
        QCOMPARE(reading.Problems.size(), std::size_t(1));
        QCOMPARE(reading.Problems[0].Line, 3);
        QCOMPARE(reading.Records.size(), std::size_t(2));
    }

    void Refusal_namesWhatIsNoCsv_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<bool>("refused");
        QTest::newRow("text") << qint64(100) << Utf8("a;b\n") << false;
        QTest::newRow("a spreadsheet (ZIP)")
            << qint64(100) << QByteArray("PK\x03\x04rest", 8) << true;
        QTest::newRow("NUL bytes") << qint64(100) << QByteArray("a\0b", 3) << true;
        QTest::newRow("UTF-16 with its mark") << qint64(100)
                                              << QByteArray("\xff\xfe"
                                                            "a\0",
                                                            4)
                                              << false;
        QTest::newRow("over 100 MB") << Csv::kLargest + 1 << Utf8("a;b\n") << true;
    }
    void Refusal_namesWhatIsNoCsv()
    {
        QFETCH(qint64, size);
        QFETCH(QByteArray, start);
        QFETCH(bool, refused);
        QCOMPARE(!Csv::Refusal(size, start).isEmpty(), refused);
    }

    void Import_addsTheGoodRecordsAndOneCtrlZTakesThemBack()
    {
        TFixture f(&kSmall);
        TImport import;
        import.Run(f, Utf8("Nazwa;Rodzaj;Ilość CD;Półka;Pożyczone\r\nZ importu;Nowy;3;Q;\r\n"
                           "Drugi;Nowy;1;Q;\r\n漢;x;1;Q;\r\n"));
        QVERIFY(import.Shown);
        QVERIFY(import.Summary.contains(QStringLiteral("2")));
        QCOMPARE(import.Problems.size(), 1);
        QVERIFY(import.Problems.first().startsWith(QStringLiteral("wiersz 4:")));
        QCOMPARE(f.Main->AllList->Items().Count(), 7);
        QVERIFY(!f.Main->Zapisane);
        QVERIFY(Entries(*f.Main->ComboBox1).contains("Nowy"));
        // In order, as after an Add: by name.
        QStringList names = Column(*f.Main->AllList, 0);
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end(), [](const QString& A, const QString& B) {
            return Locale::CompareText(*Cp1250::FromUnicode(A), *Cp1250::FromUnicode(B)) < 0;
        });
        QCOMPARE(names, sorted);
        f.Main->CofnijClick(f.Main.get()); // Ctrl+Z, once
        QCOMPARE(f.Main->AllList->Items().Count(), 5);
        QVERIFY(!Entries(*f.Main->ComboBox1).contains("Nowy"));
    }

    void CancelledImport_changesNothing()
    {
        TFixture f(&kSmall);
        TImport import;
        import.Run(f, Utf8("Nowy;x;1;Q;\n"), false);
        QVERIFY(import.Shown);
        QCOMPARE(f.Main->AllList->Items().Count(), 5);
        QVERIFY(f.Main->Zapisane);
    }

    void ImportOfNoText_isRefusedBeforeItIsRead()
    {
        TFixture f(&kSmall);
        const QString path = f.Dir.filePath("arkusz.xlsx");
        WriteAll(path, QByteArray("PK\x03\x04\x14\x00", 6));
        DialogParts::AskFileName = [path](QWidget*, const QString&, const QString&, bool) {
            return path;
        };
        f.Main->ImportujClick(f.Main.get());
        QCOMPARE(f.Messages.size(), 1);
        QVERIFY(f.Messages.first().contains(QStringLiteral("archiwum")));
        QCOMPARE(f.Main->AllList->Items().Count(), 5);
    }
};

QTEST_MAIN(TestCsv)
#include "tst_Csv.moc"
