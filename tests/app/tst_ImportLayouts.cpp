// Collections brought in from where they live today: the exports of an online collection
// service and of a music collection manager, and a user's own spreadsheet, each known by its
// header and mapped as proposed or as the user chooses, down to the bytes of the saved file.
#include "ColumnChoiceTable.h"
#include "CsvFormat.h"
#include "ImportLayouts.h"
#include "MappingMemory.h"
#include "support/ImportDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QStringEncoder>

using namespace TestSupport;
using Csv::TLayoutKind;
using Csv::TTarget;

namespace {

// An online collection service's export: commas, performer and title apart, the disc count
// inside the format, notes over several lines.
const char* const kService =
    "Catalog#,Artist,Title,Label,Format,Rating,Released,release_id,CollectionFolder,"
    "Date Added,Collection Media Condition,Collection Sleeve Condition,Collection Notes\n"
    "SHDW 411,Pink Floyd,The Wall,Harvest,\"2xCD, Album, RE\",5,1979,1873013,Rock,"
    "2021-01-05 18:22:40,Mint (M),Near Mint (NM or M-),\n"
    "PMT 101,\"Kaczmarski, Jacek\",Mury,Pomaton EMI,\"Box, Comp + 4xCD\",,2002,555,"
    "Poezja śpiewana,2021-02-01 10:00:00,,,\"Pudełko pęknięte\nna rogu\"\n"
    "VOL 3,\"\"\"Weird Al\"\" Yankovic\",Running With Scissors,Volcano,\"CD, Album\",3,1999,"
    "777,Humor,2022-03-03 12:00:00,,,\n"
    "XL 0,Niemen,Enigmatic,Polskie Nagrania Muza,\"Vinyl, LP, Album\",,1970,888,Winyle,"
    "2022-04-04 12:00:00,,,\n"
    "DUX 9,Chopin,Nokturny,DUX,\"2xCD + DVD, NTSC\",4,2010,999,Klasyka,"
    "2023-05-05 12:00:00,,,\"Prezent \"\"od Ani\"\", 2010\"\n"
    "SONY 1,坂本龍一,async,Milan,\"CD, Album\",,2017,1000,Ambient,2023-06-06 12:00:00,,,\n"
    "ONE 5,Björk,Homogenic,One Little Indian,CD,5,1997,1001,Pop,2023-07-07 12:00:00,,,\n"
    "EMI 7,Various,\"Bravo Hits, Vol. 30\",EMI,\"2xCD, Comp\",,2000,1002,Składanki,"
    "2023-08-08 12:00:00,,,\n"
    "POL 2,Kult,Spokojnie,Polton,\"CD, Album\",,1988,1003,Rock,2023-09-09 12:00:00,,,\n"
    "MM 1,Myslovitz,Miłość w czasach popkultury,Sony,\"CD, Album\",,1999,1004,Rock,"
    "2023-10-10 12:00:00,,,\n"
    "X 1,Unknown,Bez formatu,,,,,1005,,2023-11-11 12:00:00,,,\n";

// A music collection manager's export with Polish captions: several values joined with "; ",
// lending as true/false, tracks over several lines.
const char* const kManager =
    "Album,Nośnik,Wykonawca,Wytwórnia,Rok,Gatunek,Utwory,Ocena,Producent,Kompozytor,"
    "Tekściarz,Komentarze,Okładka,Wypożyczona,Data utworzenia,Data modyfikacji,ID,"
    "Słowa kluczowe\n"
    "Kind of Blue,Płyta CD,Miles Davis,Columbia,1959,Jazz,\"So What::Miles Davis::9:22\n"
    "Blue in Green::Miles Davis::5:37\",5,Teo Macero,,,,,false,2020-01-01,2020-01-01,1,\n"
    "Tutu,Płyta CD,Miles Davis,Warner,1986,Jazz; Fusion,,4,,,,,,true,2020-01-02,2020-01-02,2,\n"
    "Ballady i romanse,Płyta CD,\"Grechuta, Marek; Anawa\",Polskie Nagrania,1971,"
    "Poezja śpiewana,,,,,,\"Pierwsze wydanie, \"\"złote\"\"\",,false,2020-01-03,2020-01-03,3,\n"
    "Czarno-czarny film,Płyta CD,Dżem,Pomaton,1988,Blues; Rock,,,,,,,,false,2020-01-04,"
    "2020-01-04,4,\n"
    "Live,Płyta CD,Perfect,,,,,,,,,,,,,,5,\n";

const char* const kManagerEnglish =
    "Album,Medium,Artist,Label,Year,Genre,Tracks,Rating,Producer,Composer,Lyricist,Comments,"
    "Cover,Loaned,Date Created,Date Modified,ID,Keywords\n"
    "Kind of Blue,Compact Disc,Miles Davis,Columbia,1959,Jazz,,5,,,,,,true,2020-01-01,"
    "2020-01-01,1,\n"
    "Tutu,Compact Disc,Miles Davis,Warner,1986,Jazz; Fusion,,4,,,,,,false,2020-01-02,"
    "2020-01-02,2,\n";

// A user's own spreadsheet from a Polish office suite: ";", rows padded with empty cells, a
// note over two lines, captions of their own.
const char* const kSpreadsheet = "Wykonawca;Tytuł;Gatunek;Ilość płyt;Półka;Komu pożyczyłem;"
                                 "Uwagi;;\n"
                                 "Dżem;Detox;Blues;1;A1;;;;\n"
                                 "Kult;Tata Kazika;Rock;2;A2;Ania;\"bez okładki\nprzetarta\";;\n"
                                 "Chopin;Mazurki;Klasyka;?;B;;;;\n"
                                 ";;;;;;;;\n"
                                 "Wodecki;Zacznij od Bacha;Pop;1;B;brat;;;\n";

QByteArray Cp1250Bytes(const char* Utf8)
{
    return QByteArray::fromStdString(*Cp1250::FromUnicode(QString::fromUtf8(Utf8)));
}

QByteArray Utf16WithMark(const QString& Text)
{
    auto encoder = QStringEncoder(QStringEncoder::Utf16LE);
    return QByteArray("\xff\xfe") + QByteArray(encoder(Text));
}

// The records a file makes under the mapping its header proposes, a record as "a|b|c|d|e".
QStringList ProposedRecords(const QByteArray& Bytes, Csv::TReading* Reading = nullptr,
                            int LentColumn = -1)
{
    const Csv::TTable table = Csv::ReadTable(Bytes);
    Csv::TMapping mapping = Csv::Recognise(table.RowTexts(0)).Proposal;
    if (LentColumn >= 0)
        mapping.Columns[std::size_t(LentColumn)] = TTarget::Pozyczone;
    const Csv::TReading reading = Csv::Apply(table, mapping);
    if (Reading)
        *Reading = reading;
    QStringList records;
    for (const Csv::TRecord& r : reading.Records) {
        QStringList fields;
        for (const std::string& field : r)
            fields << Cp1250::ToUnicode(field);
        records << fields.join(u'|');
    }
    return records;
}

void Choose(TImportDialog& Dialog, int Column, TTarget Target)
{
    Dialog.Columns->ChoiceBox(Column)->setCurrentIndex(int(Target));
}

QList<int> Choices(const TImportDialog& Dialog)
{
    QList<int> choices;
    for (int column = 0; column < Dialog.Columns->columnCount(); ++column)
        choices << Dialog.Columns->Choice(column);
    return choices;
}

} // namespace

class TestImportLayouts : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        // Each case starts with no mapping remembered.
        QFile::remove(TMappingMemory::DefaultFile());
    }

    void KnownLayout_isImportedAsProposed_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QStringList>("problems");
        QTest::newRow("online collection service")
            << QByteArray(kService) << int(TLayoutKind::CollectionService)
            << Cp1250Bytes("\"Weird Al\" Yankovic – Running With Scissors\t\t1\tHumor\t\r\n"
                           "Björk – Homogenic\t\t1\tPop\t\r\n"
                           "Chopin – Nokturny\t\t2\tKlasyka\t\r\n"
                           "Kaczmarski, Jacek – Mury\t\t4\tPoezja śpiewana\t\r\n"
                           "Kult – Spokojnie\t\t1\tRock\t\r\n"
                           "Myslovitz – Miłość w czasach popkultury\t\t1\tRock\t\r\n"
                           "Niemen – Enigmatic\t\t\tWinyle\t\r\n"
                           "Pink Floyd – The Wall\t\t2\tRock\t\r\n"
                           "Unknown – Bez formatu\t\t\t\t\r\n"
                           "Various – Bravo Hits, Vol. 30\t\t2\tSkładanki\t\r\n")
            << QStringList{QStringLiteral("wiersz 8: znak „坂” (U+5742) spoza strony kodowej "
                                          "Windows-1250 w polu „Nazwa”: „坂本龍一 – async”")};
        // The lent flag fills nothing: nobody's name is in it.
        QTest::newRow("music manager, Polish captions")
            << QByteArray(kManager) << int(TLayoutKind::MusicManager)
            << Cp1250Bytes("Dżem – Czarno-czarny film\tBlues; Rock\t\t\t\r\n"
                           "Grechuta, Marek; Anawa – Ballady i romanse\tPoezja śpiewana\t\t\t\r\n"
                           "Miles Davis – Kind of Blue\tJazz\t\t\t\r\n"
                           "Miles Davis – Tutu\tJazz; Fusion\t\t\t\r\n"
                           "Perfect – Live\t\t\t\t\r\n")
            << QStringList();
        QTest::newRow("music manager, English captions")
            << QByteArray(kManagerEnglish) << int(TLayoutKind::MusicManager)
            << Cp1250Bytes("Miles Davis – Kind of Blue\tJazz\t\t\t\r\n"
                           "Miles Davis – Tutu\tJazz; Fusion\t\t\t\r\n")
            << QStringList();
    }
    void KnownLayout_isImportedAsProposed()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, kind);
        QFETCH(QByteArray, saved);
        QFETCH(QStringList, problems);
        QCOMPARE(int(Csv::Recognise(Csv::ReadTable(file).RowTexts(0)).Kind), kind);
        TFixture f(nullptr);
        TImport importing;
        importing.Run(f, file);
        f.Main->ZapiszClick(f.Main->Zapisz);
        QCOMPARE(importing.Problems, problems);
        QCOMPARE(ReadAll(f.Path), saved);
    }

    void OwnSpreadsheet_comesInWithOneDecision()
    {
        TFixture f(nullptr);
        TImport importing;
        importing.Before = [](TImportDialog& Dialog) {
            const QList<int> proposed = Choices(Dialog);
            QCOMPARE(proposed, (QList<int>{int(TTarget::Nazwa), int(TTarget::NazwaDalej),
                                           int(TTarget::Rodzaj), int(TTarget::IloscCd),
                                           int(TTarget::Polka), 0, 0}));
            Choose(Dialog, 5, TTarget::Pozyczone); // "Komu pożyczyłem"
            // "?" is no whole number: the row is marked, and kept.
            QCOMPARE(Dialog.Columns->RowMark(2), TColumnChoiceTable::TMark::Note);
        };
        importing.Run(f, Cp1250Bytes(kSpreadsheet));
        f.Main->ZapiszClick(f.Main->Zapisz);
        QCOMPARE(importing.Problems, QStringList());
        QCOMPARE(ReadAll(f.Path), Cp1250Bytes("Chopin – Mazurki\tKlasyka\t?\tB\t\r\n"
                                              "Dżem – Detox\tBlues\t1\tA1\t\r\n"
                                              "Kult – Tata Kazika\tRock\t2\tA2\tAnia\r\n"
                                              "Wodecki – Zacznij od Bacha\tPop\t1\tB\tbrat\r\n"));
    }

    void MappingStep_followsTheUsersChoices()
    {
        TFixture f(nullptr);
        TImport importing;
        importing.Before = [](TImportDialog& Dialog) {
            const TColumnChoiceTable* table = Dialog.Columns;
            QVERIFY(table);
            QCOMPARE(Choices(Dialog), (QList<int>{0, 0, 0}));
            QVERIFY(!Dialog.Importuj->isEnabled());
            Choose(Dialog, 1, TTarget::Nazwa);
            QVERIFY(Dialog.Summary->text().contains(QStringLiteral("do dodania: 2.")));
            QVERIFY(Dialog.Importuj->isEnabled());
            Choose(Dialog, 0, TTarget::NazwaDalej);
            QCOMPARE(Dialog.Reading().Records[0][0], Cp1250::FromUtf8("Kaczmarski – Mury"));
            // One column to a field: the one that had it gives it up.
            Choose(Dialog, 2, TTarget::Nazwa);
            QCOMPARE(Choices(Dialog),
                     (QList<int>{int(TTarget::NazwaDalej), 0, int(TTarget::Nazwa)}));
            Choose(Dialog, 1, TTarget::Nazwa);
            // Ilość CD read from a medium or taken as it is: still one column.
            Choose(Dialog, 0, TTarget::IloscCd);
            Choose(Dialog, 2, TTarget::IloscCdZNosnika);
            QCOMPARE(Choices(Dialog),
                     (QList<int>{0, int(TTarget::Nazwa), int(TTarget::IloscCdZNosnika)}));
            Choose(Dialog, 0, TTarget::NazwaDalej);
            Choose(Dialog, 2, TTarget::IloscCd);
            // Without the header row its captions are a record of their own, marked.
            Dialog.HeaderRow->setChecked(false);
            QVERIFY(Dialog.Summary->text().contains(QStringLiteral("do dodania: 3.")));
            QCOMPARE(Dialog.Columns->RowMark(0), TColumnChoiceTable::TMark::Note);
            QCOMPARE(Dialog.Columns->RowMark(1), TColumnChoiceTable::TMark::None);
            Dialog.HeaderRow->setChecked(true);
        };
        importing.Run(f, "Tytuł płyty;Kto;Ile\nMury;Kaczmarski;2\nDetox;Dżem;1\n");
        f.Main->ZapiszClick(f.Main->Zapisz);
        QCOMPARE(ReadAll(f.Path), Cp1250Bytes("Dżem – Detox\t\t1\t\t\r\n"
                                              "Kaczmarski – Mury\t\t2\t\t\r\n"));
    }

    void RememberedMapping_isOfferedForItsHeaderOnly()
    {
        TFixture f(nullptr);
        TImport first;
        first.Before = [](TImportDialog& Dialog) {
            Choose(Dialog, 1, TTarget::Nazwa);
            Choose(Dialog, 2, TTarget::Polka);
        };
        first.Run(f, "Tytuł płyty;Kto;Gdzie\nMury;Kaczmarski;A\n");
        QList<int> offered;
        QString said;
        TImport again;
        again.Before = [&](TImportDialog& Dialog) {
            offered = Choices(Dialog);
            said = Dialog.Found->text();
        };
        again.Run(f, "Tytuł płyty;Kto;Gdzie\nDetox;Dżem;B\n", false);
        QCOMPARE(offered, (QList<int>{0, int(TTarget::Nazwa), int(TTarget::Polka)}));
        QVERIFY(said.contains(QStringLiteral("ostatnio")));
        TImport other;
        other.Before = [&](TImportDialog& Dialog) { offered = Choices(Dialog); };
        other.Run(f, "Tytuł płyty;Kto;Gdzie;Rok\nDetox;Dżem;B;1992\n", false);
        QCOMPARE(offered, (QList<int>{0, 0, 0, 0}));
    }

    void Spreadsheet_isImportedOrRefusedAsTheRulesSay_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("records"); // the last ones
        QTest::addColumn<QList<int>>("refusedLines");
        QTest::addColumn<QString>("reason");
        const QString unicode = QString::fromUtf8("Nazwa\tRodzaj\tIlość CD\tPółka\tPożyczone\r\n"
                                                  "Łódź\tPop\t1\tA\t\r\n"
                                                  "坂本\tAmbient\t1\tB\t\r\n");
        QTest::newRow("Windows-1250 with \"?\" in it, padded")
            << Cp1250Bytes("Nazwa;Rodzaj;Ilość CD;Półka;Pożyczone;;;\r\n"
                           "Sigur R?s;Post-rock;1;A;;;;\r\n"
                           ";;;;;;;\r\n"
                           "Łąka;Pop;2;B;;;;\r\n")
            << QStringList{"Sigur R?s|Post-rock|1|A|", "Łąka|Pop|2|B|"} << QList<int>{}
            << QString();
        QTest::newRow("UTF-16 with its mark")
            << Utf16WithMark(unicode) << QStringList{"Łódź|Pop|1|A|"} << QList<int>{3}
            << QStringLiteral("znak „坂” (U+5742)");
        QTest::newRow("the catalogue's own file: borrowers that look like yes or no stay")
            << QByteArray("Nazwa;Rodzaj;Ilość CD;Półka;Pożyczone\r\nA;;;;nie\r\nB;;;;1\r\n")
            << QStringList{"A||||nie", "B||||1"} << QList<int>{} << QString();
        QTest::newRow("UTF-8 with its mark and a broken byte: that line refused")
            << QByteArray(
                   "\xef\xbb\xbfNazwa;Rodzaj;Ilość CD;Półka;Pożyczone\r\nŁódź;;;;\r\nB\xff;;;;\r\n")
            << QStringList{"Łódź||||"} << QList<int>{3} << QStringLiteral("(U+FFFD)");
        QTest::newRow("a row with text only in a column that fills nothing")
            << QByteArray(
                   "Nazwa;Rodzaj;Ilość CD;Półka;Pożyczone;Uwagi\r\nA;;;;;\r\n;;;;;notatka\r\n")
            << QStringList{"A||||"} << QList<int>{} << QString();
        auto le = QStringEncoder(QStringEncoder::Utf16LE);
        QTest::newRow("UTF-16 without a mark")
            << QByteArray(le(unicode)) << QStringList{"Łódź|Pop|1|A|"} << QList<int>{3}
            << QStringLiteral("znak „坂” (U+5742)");
        QTest::newRow("a character outside Windows-1250 in a column that fills nothing")
            << QByteArray(kService).left(QByteArray(kService).indexOf("ONE 5")) +
                   "X,Ryuichi Sakamoto,async,坂本,CD,,,,,,,,\n"
            << QStringList{"Ryuichi Sakamoto – async||1||"} << QList<int>{8}
            << QStringLiteral("znak „坂");
    }
    void Spreadsheet_isImportedOrRefusedAsTheRulesSay()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, records);
        QFETCH(QList<int>, refusedLines);
        QFETCH(QString, reason);
        Csv::TReading reading;
        const QStringList found = ProposedRecords(bytes, &reading);
        // The records expected are the last ones found.
        QCOMPARE(found.mid(found.size() - records.size()), records);
        QList<int> lines;
        for (const Csv::TProblem& problem : reading.Problems)
            lines << problem.Line;
        QCOMPARE(lines, refusedLines);
        if (!reason.isEmpty())
            QVERIFY2(reading.Problems.front().Reason.contains(reason),
                     qPrintable(reading.Problems.front().Reason));
    }

    void LentFlag_fillsPozyczoneOnlyWhenChosen()
    {
        QStringList records = ProposedRecords(kManager);
        QVERIFY(std::all_of(records.begin(), records.end(),
                            [](const QString& R) { return R.endsWith(u'|'); }));
        records = ProposedRecords(kManager, nullptr, 13); // "Wypożyczona"
        QCOMPARE(records.filter(QStringLiteral("|tak")),
                 QStringList{QStringLiteral("Miles Davis – Tutu|Jazz; Fusion|||tak")});
    }

    void DiscCount_isReadFromTheMedium_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("discs");
        QTest::newRow("counted") << "2xCD, Album, RE"
                                 << "2";
        QTest::newRow("in a box") << "Box, Comp + 4xCD"
                                  << "4";
        QTest::newRow("parts summed") << "2xCD + CD, Single + DVD"
                                      << "3";
        QTest::newRow("one, uncounted") << "CD, Album"
                                        << "1";
        QTest::newRow("no CD") << "Vinyl, LP, Album"
                               << "";
        QTest::newRow("CD-R is no CD") << "CDr, Album"
                                       << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void DiscCount_isReadFromTheMedium()
    {
        QFETCH(QString, format);
        QFETCH(QString, discs);
        QCOMPARE(Csv::DiscCount(format), discs);
    }

    void WideLines_goToTheMappingStepNotToRefusals_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("offered");
        QTest::newRow("seven fields, some rows padded")
            << QByteArray("a;b;c;d;e;f;g\n1;2;3;4;5;6;7\n1;2;3;4;5;6;7;;\n") << 7;
        QTest::newRow("a line of separators: the first columns offered")
            << "a" + QByteArray(5000, ';') + "b\nc;d\n"
            << TImportDialog::kMostColumns;
    }
    void WideLines_goToTheMappingStepNotToRefusals()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, offered);
        TFixture f(nullptr);
        TImport importing;
        int columns = 0;
        importing.Before = [&](TImportDialog& Dialog) { columns = Dialog.Columns->columnCount(); };
        importing.Run(f, file, false);
        QCOMPARE(columns, offered);
        QCOMPARE(importing.Problems, QStringList());
    }

    void ManyRefusals_listTheFirstHundredAndCountTheRest()
    {
        QByteArray file = "Nazwa;Rodzaj;Ilość CD;Półka;Pożyczone\n";
        for (int k = 0; k < 150; ++k)
            file += "漢;x;1;A;\n";
        file += "Dobra;x;1;A;\n";
        TFixture f(nullptr);
        TImport importing;
        importing.Run(f, file, false);
        QCOMPARE(importing.Problems.size(), TImportDialog::kListed + 1);
        QVERIFY(importing.Problems.first().startsWith(QStringLiteral("wiersz 2:")));
        QVERIFY(importing.Problems[99].startsWith(QStringLiteral("wiersz 101:")));
        QVERIFY2(
            importing.Problems.last().contains(QStringLiteral("dalsze odrzucone wiersze: 50.")),
            qPrintable(importing.Problems.last()));
        QVERIFY(importing.Summary.contains(QStringLiteral("do dodania: 1.")));
    }
};

QTEST_MAIN(TestImportLayouts)
#include "tst_ImportLayouts.moc"
