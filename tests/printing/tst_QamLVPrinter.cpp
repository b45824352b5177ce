// The list printer on a recording canvas, and once on a real PDF page.
#include "Cp1250.h"
#include "ExtListView.h"
#include "QamLVPrinter.h"
#include "support/PrintedLists.h"
#include "support/RecordingCanvas.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <stdexcept>

using TestSupport::TRecordingCanvas;
using TCall = TRecordingCanvas::TCall;
using TestSupport::MakeList;

namespace {

std::string B(const char* Utf8)
{
    return Cp1250::FromUtf8(Utf8);
}

std::unique_ptr<TdfsExtListView> ExampleList()
{
    return MakeList({{"Nazwa", taLeftJustify},
                     {"Rodzaj", taLeftJustify},
                     {"Ilość CD", taRightJustify},
                     {"Półka", taLeftJustify},
                     {"Pożyczone", taLeftJustify}},
                    {{"Kolędy", "Muzyka", "2", "A1", ""}, {"Atlas", "Program", "12", "B", "brat"}});
}

const QStringList kExample = {
    "Lista CD",
    "",
    " | ------ | ------- | -------- | ----- | --------- | ",
    " | Nazwa  | Rodzaj  | Ilość CD | Półka | Pożyczone | ",
    " | ------ | ------- | -------- | ----- | --------- | ",
    " | Kolędy | Muzyka  |        2 | A1    |           | ",
    " | Atlas  | Program |       12 | B     | brat      | ",
    " | ----------------------------------------------- | ",
};

// The printed lines: the texts drawn at one height, in drawing order, per page.
QStringList Lines(const TRecordingCanvas& Canvas)
{
    QStringList lines;
    std::map<int, QString> page;
    auto flush = [&] {
        for (auto& [y, text] : page)
            lines << text;
        page.clear();
    };
    for (const TCall& call : Canvas.Calls) {
        if (call.Kind == TCall::NewPage) {
            flush();
            lines << "<page>";
        } else if (call.Kind == TCall::TextOut) {
            page[call.Y] += Cp1250::ToUnicode(call.Text);
        }
    }
    flush();
    return lines;
}

TQamLVPrinter BoundPrinter(TdfsExtListView& List, std::string Header = "Lista CD")
{
    TQamLVPrinter printer;
    printer.SetDfs(&List);
    printer.SetHeader(std::move(Header));
    printer.SetHeaderStyle(fsBold);
    return printer;
}

std::vector<const TCall*> TextOuts(const TRecordingCanvas& Canvas)
{
    std::vector<const TCall*> calls;
    for (const auto& c : Canvas.Calls)
        if (c.Kind == TCall::TextOut)
            calls.push_back(&c);
    return calls;
}

} // namespace

class TestQamLVPrinter : public QObject
{
    Q_OBJECT
private slots:
    void Example_printsTheTableLineByLine()
    {
        auto list = ExampleList();
        auto printer = BoundPrinter(*list);
        TRecordingCanvas canvas;
        printer.Print(canvas);
        QCOMPARE(Lines(canvas), kExample);
        QCOMPARE(canvas.Calls.front().Kind, TCall::BeginDoc);
        QCOMPARE(canvas.Calls.front().Title, std::string("Lista CD"));
        QCOMPARE(canvas.Calls.back().Kind, TCall::EndDoc);
        QVERIFY(!canvas.Printing());
    }

    void Example_drawsEachPieceAtThePenInItsFont()
    {
        auto list = ExampleList();
        auto printer = BoundPrinter(*list);
        TRecordingCanvas canvas;
        printer.Print(canvas);
        const auto calls = TextOuts(canvas);
        // Title in the canvas's first font at 20 points; the blank line 40 pixels lower.
        QCOMPARE(calls[0]->X, 20);
        QCOMPARE(calls[0]->Y, 30);
        QCOMPARE(calls[0]->Font.Name, std::string("MS Sans Serif"));
        QCOMPARE(calls[0]->Font.Size, 20);
        QCOMPARE(calls[1]->Y, 70);
        QCOMPARE(calls[1]->Text, std::string());
        // The first rule: a separator, then one dash per step 6 pixels apart.
        QCOMPARE(calls[2]->Text, std::string(" | "));
        QCOMPARE(calls[2]->Y, 110);
        QCOMPARE(calls[2]->Font.Name, std::string("Courier New"));
        QCOMPARE(calls[3]->Text, std::string("-"));
        QCOMPARE(calls[3]->X, 20 + 18);
        QCOMPARE(calls[4]->X, 20 + 24);
        // Captions bold, rows: column 0 bold, the rest regular, separators in the frame font.
        std::map<std::string, const TCall*> byText;
        for (const TCall* c : calls)
            byText.emplace(c->Text, c);
        QCOMPARE(byText.at("Nazwa ")->Font.Style, unsigned(fsBold));
        QCOMPARE(byText.at("Nazwa ")->Y, 130);
        QCOMPARE(byText.at(B("Kolędy"))->Font.Style, unsigned(fsBold));
        QCOMPARE(byText.at(B("Kolędy"))->Y, 170);
        QCOMPARE(byText.at("Muzyka ")->Font.Style, 0u);
        QCOMPARE(byText.at("       2")->Font.Size, 10);
        for (const TCall* c : calls)
            if (c->Text == " | ")
                QCOMPARE(c->Font.Style, 0u);
        QCOMPARE(calls.back()->Y, 210);
    }

    void Table_edgeCases_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty list") << 0 << QStringList{"T",
                                                        "",
                                                        " | ----- | --- | ",
                                                        " | Nazwa | Ile | ",
                                                        " | ----- | --- | ",
                                                        " | ----------- | "};
        QTest::newRow("fewer and more sub-items") << 1
                                                  << QStringList{"T",
                                                                 "",
                                                                 " | ----- | --- | ",
                                                                 " | Nazwa | Ile | ",
                                                                 " | ----- | --- | ",
                                                                 " | a     |     | ",
                                                                 " | b     |   1 | ",
                                                                 " | ----------- | "};
        QTest::newRow("all-empty column has width 0")
            << 2 << QStringList{"T",          "",           " | - |  | ", " | A |  | ",
                                " | - |  | ", " | x |  | ", " | ---- | "};
        QTest::newRow("centred and right-justified") << 3
                                                     << QStringList{"T",
                                                                    "",
                                                                    " | ----- | -------- | ",
                                                                    " | Abcde | Prawo123 | ",
                                                                    " | ----- | -------- | ",
                                                                    " |  ab   |        1 | ",
                                                                    " | ---------------- | "};
    }
    void Table_edgeCases()
    {
        QFETCH(int, which);
        QFETCH(QStringList, expected);
        std::unique_ptr<TdfsExtListView> list;
        switch (which) {
        case 0:
            list = MakeList({{"Nazwa", taLeftJustify}, {"Ile", taRightJustify}}, {});
            break;
        case 1:
            list = MakeList({{"Nazwa", taLeftJustify}, {"Ile", taRightJustify}},
                            {{"a"}, {"b", "1", "extra, never measured"}});
            break;
        case 2:
            list = MakeList({{"A", taLeftJustify}, {"", taLeftJustify}}, {{"x", ""}});
            break;
        default:
            list = MakeList({{"Abcde", taCenter}, {"Prawo123", taRightJustify}}, {{"ab", "1"}});
            // Column 0 is left-justified whatever its alignment; use column 1 for the centre.
            list =
                MakeList({{"", taLeftJustify}, {"Abcde", taCenter}, {"Prawo123", taRightJustify}},
                         {{"", "ab", "1"}});
            expected = QStringList{"T",
                                   "",
                                   " |  | ----- | -------- | ",
                                   " |  | Abcde | Prawo123 | ",
                                   " |  | ----- | -------- | ",
                                   " |  |   ab  |        1 | ",
                                   " | ------------------- | "};
            break;
        }
        auto printer = BoundPrinter(*list, "T");
        TRecordingCanvas canvas;
        printer.Print(canvas);
        QCOMPARE(Lines(canvas), expected);
    }

    void EmptyHeader_stillAdvancesByTheTitleFont()
    {
        auto list = ExampleList();
        auto printer = BoundPrinter(*list, "");
        TRecordingCanvas canvas;
        printer.Print(canvas);
        const auto calls = TextOuts(canvas);
        QCOMPARE(calls[0]->Text, std::string());
        QCOMPARE(calls[1]->Y, 70);
        QCOMPARE(calls[2]->Y, 110);
    }

    void OnPrintSubItem_changesThatCellOnly()
    {
        auto list = ExampleList();
        auto printer = BoundPrinter(*list);
        printer.OnPrintSubItem = [](TQamLVPrinter*, int item, int sub, TFont*& font) {
            if (item == 1 && sub == 0)
                font->Style |= fsItalic;
        };
        TRecordingCanvas canvas;
        printer.Print(canvas);
        QCOMPARE(Lines(canvas), kExample);
        int italic = 0;
        for (const TCall* c : TextOuts(canvas))
            if (c->Font.Style & fsItalic) {
                ++italic;
                QCOMPARE(c->Text, std::string("Program"));
            }
        QCOMPARE(italic, 1);
        QCOMPARE(TextOuts(canvas).back()->Y, 210); // line heights unchanged
    }

    void OnPrintSubItem_mayHandAnotherFont()
    {
        auto list = ExampleList();
        auto printer = BoundPrinter(*list);
        TFont big;
        big.Name = "Courier New";
        big.Size = 30;
        printer.OnPrintSubItem = [&](TQamLVPrinter*, int item, int sub, TFont*& font) {
            if (item == 0 && sub == 1)
                font = &big;
        };
        TRecordingCanvas canvas;
        printer.Print(canvas);
        for (const TCall* c : TextOuts(canvas))
            if (c->Text == "       2")
                QCOMPARE(c->Font.Size, 30);
        QCOMPARE(TextOuts(canvas).back()->Y, 210);
    }

    void TwoPrints_haveTheTitleInTheFontTheFirstLeft()
    {
        auto list = ExampleList();
        auto printer = BoundPrinter(*list);
        TRecordingCanvas canvas;
        printer.Print(canvas);
        const std::size_t first = canvas.Calls.size();
        printer.Print(canvas);
        const TCall& secondTitle = canvas.Calls[first + 1];
        QCOMPARE(secondTitle.Text, std::string("Lista CD"));
        QCOMPARE(secondTitle.Font.Name, std::string("Courier New"));
        QCOMPARE(secondTitle.Font.Size, 20);
        QCOMPARE(secondTitle.Font.Style, 0u);
    }

    void LongList_breaksPagesAndRepeatsTheHead()
    {
        auto list = MakeList({{"N", taLeftJustify}}, {});
        for (int i = 0; i < 10; ++i)
            list->Items().Add()->SetCaption(std::to_string(i));
        auto printer = BoundPrinter(*list, "T");
        // Title 40 + blank 40 from 30, head 3 x 20: rows start at 170; five rows fit in 280.
        TRecordingCanvas canvas(280);
        printer.Print(canvas);
        const QStringList lines = Lines(canvas);
        const QStringList expected = {"T",       "",        " | - | ", " | N | ", " | - | ",
                                      " | 0 | ", " | 1 | ", " | 2 | ", " | 3 | ", " | 4 | ",
                                      "<page>",  " | - | ", " | N | ", " | - | ", " | 5 | ",
                                      " | 6 | ", " | 7 | ", " | 8 | ", " | 9 | ", " | - | "};
        QCOMPARE(lines, expected);
    }

    void BeginDocError_passesToTheCallerWithNoDocumentOpen()
    {
        auto list = ExampleList();
        auto printer = BoundPrinter(*list);
        TRecordingCanvas canvas;
        canvas.FailNextBeginDoc = "There is no default printer currently selected";
        QVERIFY_THROWS_EXCEPTION(EPrinter, printer.Print(canvas));
        QVERIFY(!canvas.Printing());
        QVERIFY(TextOuts(canvas).empty());
        printer.Print(canvas); // the service is free for the next print
        QCOMPARE(Lines(canvas), kExample);
    }

    void HandlerError_abortsTheDocumentAndPasses()
    {
        auto list = ExampleList();
        auto printer = BoundPrinter(*list);
        printer.OnPrintItem = [](TQamLVPrinter*, int item) {
            if (item == 1)
                throw std::runtime_error("handler failed");
        };
        TRecordingCanvas canvas;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, printer.Print(canvas));
        QVERIFY(!canvas.Printing());
        QCOMPARE(canvas.Calls.back().Kind, TCall::Abort);
    }

    void ColumnsAddedAfterBinding_getFontsAtPrintTime()
    {
        auto list = MakeList({{"A", taLeftJustify}}, {{"x", "y"}});
        auto printer = BoundPrinter(*list, "T");
        printer.ColumnFonts().Fonts(0)->Size = 10;
        list->Columns().Add()->SetCaption("B");
        TRecordingCanvas canvas;
        printer.Print(canvas);
        QCOMPARE(Lines(canvas).at(5), QStringLiteral(" | x | y | "));
        QCOMPARE(printer.ColumnFonts().Count(), 2);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, printer.ColumnFonts().Fonts(2));
    }

    void Unbound_printsNothing()
    {
        TQamLVPrinter printer;
        TRecordingCanvas canvas;
        printer.Print(canvas);
        QVERIFY(canvas.Calls.empty());
    }

    void Example_onARealPdfPage()
    {
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath("lista.pdf");
        auto canvas = MakeQtPrinter(pdf);
        auto list = ExampleList();
        auto printer = BoundPrinter(*list);
        printer.Print(*canvas);
        QProcess p;
        p.start(pdftotext, {"-layout", pdf, "-"});
        QVERIFY(p.waitForFinished(30000));
        QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
        // pdftotext rebuilds the spacing from positions; compare the words and rules.
        for (auto& l : lines)
            l = l.simplified();
        lines.removeAll(QString());
        lines.removeAll(QStringLiteral("\f"));
        QStringList expected = kExample;
        for (auto& l : expected)
            l = l.simplified();
        expected.removeAll(QString());
        QCOMPARE(lines, expected);
    }
};

QTEST_MAIN(TestQamLVPrinter)
#include "tst_QamLVPrinter.moc"
