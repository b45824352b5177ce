// The printed table computed as data before it is drawn: the widths, the head, each row's
// pieces with their fonts, and the closing rule.
#include "Cp1250.h"
#include "TableLayout.h"
#include "support/PrintedLists.h"

#include <QtTest>

using TestSupport::MakeList;

namespace {

// A line's pieces joined, back in UTF-8.
QString Joined(const TTableLine& Line)
{
    std::string text;
    for (const TTablePiece& piece : Line)
        text += piece.Text;
    return Cp1250::ToUnicode(text);
}

QString Row(const TTableLayout& Layout, const TdfsExtListView& List, int Index)
{
    TTableLine line;
    Layout.Row(*List.Items().Item(Index), line);
    return Joined(line);
}

} // namespace

class TestTableLayout : public QObject
{
    Q_OBJECT

private slots:
    void Example_laysOutAsPrinted()
    {
        const auto list = MakeList(
            {{"Nazwa", taLeftJustify},
             {"Rodzaj", taLeftJustify},
             {"Ilość CD", taRightJustify},
             {"Półka", taLeftJustify},
             {"Pożyczone", taLeftJustify}},
            {{"Kolędy", "Muzyka", "2", "A1", ""}, {"Atlas", "Program", "12", "B", "brat"}});
        const TTableLayout layout(list->Columns(), list->Items());
        QCOMPARE(layout.Widths(), (std::vector<std::size_t>{6, 7, 8, 5, 9}));
        QCOMPARE(Joined(layout.Head()[0]), " | ------ | ------- | -------- | ----- | --------- | ");
        QCOMPARE(Joined(layout.Head()[1]), " | Nazwa  | Rodzaj  | Ilość CD | Półka | Pożyczone | ");
        QCOMPARE(Joined(layout.Head()[2]), Joined(layout.Head()[0]));
        QCOMPARE(Row(layout, *list, 0), " | Kolędy | Muzyka  |        2 | A1    |           | ");
        QCOMPARE(Row(layout, *list, 1), " | Atlas  | Program |       12 | B     | brat      | ");
        QCOMPARE(Cp1250::ToUnicode(layout.Closing()),
                 " | ----------------------------------------------- | ");
    }

    void Pieces_carryTheirFontsAndTheCellsThatAskTheHandler()
    {
        const auto list = MakeList(
            {{"A", taLeftJustify}, {"B", taLeftJustify}, {"C", taLeftJustify}}, {{"x", "y"}});
        const TTableLayout layout(list->Columns(), list->Items());
        TTableLine line;
        layout.Row(*list->Items().Item(0), line);
        // separator, caption, separator, sub-item 0, separator, missing sub-item 1, separator
        QCOMPARE(line.size(), std::size_t(7));
        const std::vector<TTableFont> fonts = {tfFrame, tfColumn, tfFrame, tfColumn,
                                               tfFrame, tfColumn, tfFrame};
        const std::vector<int> subItems = {-1, -1, -1, 0, -1, -1, -1};
        for (std::size_t i = 0; i < line.size(); ++i) {
            QCOMPARE(line[i].Font, fonts[i]);
            QCOMPARE(line[i].SubItem, subItems[i]);
        }
        QCOMPARE(line[5].Column, 2);
        for (const TTablePiece& piece : layout.Head()[1])
            QVERIFY(piece.Font == tfFrame || piece.Font == tfCaption);
        QCOMPARE(layout.Head()[0].size(), std::size_t(1 + 3 * 2)); // each dash a piece of its own
    }

    void EdgeCases_layOutAsTheTableRules_data()
    {
        QTest::addColumn<int>("Case");
        QTest::addColumn<QString>("Head");
        QTest::addColumn<QString>("FirstRow");
        QTest::addColumn<QString>("Closing");
        QTest::newRow("empty list: widths of the captions") << 0 << " | Nazwa | Ile | "
                                                            << ""
                                                            << " | ----------- | ";
        QTest::newRow("fewer sub-items than columns: spaces") << 1 << " | Nazwa | Ile | "
                                                              << " | Ab    |     | "
                                                              << " | ----------- | ";
        QTest::newRow("more sub-items than columns: neither printed nor measured") << 2 << " | A | "
                                                                                   << " | x | "
                                                                                   << " | - | ";
        QTest::newRow("empty column: two separators side by side") << 3 << " | A |  | "
                                                                   << " | x |  | "
                                                                   << " | ---- | ";
        QTest::newRow("centred takes the odd space in front, right-justified all in front")
            << 4 << " | Abcde | Prawo | Ile | "
            << " | x     |   ab  |   1 | "
            << " | ------------------- | ";
        QTest::newRow("first column left-justified whatever its alignment") << 5 << " | Abc | "
                                                                            << " | x   | "
                                                                            << " | --- | ";
    }
    void EdgeCases_layOutAsTheTableRules()
    {
        QFETCH(int, Case);
        QFETCH(QString, Head);
        QFETCH(QString, FirstRow);
        QFETCH(QString, Closing);
        std::unique_ptr<TdfsExtListView> list;
        switch (Case) {
        case 0:
            list = MakeList({{"Nazwa", taLeftJustify}, {"Ile", taRightJustify}}, {});
            break;
        case 1:
            list = MakeList({{"Nazwa", taLeftJustify}, {"Ile", taRightJustify}}, {{"Ab"}});
            break;
        case 2:
            list = MakeList({{"A", taLeftJustify}}, {{"x", "very long, not a column"}});
            break;
        case 3:
            list = MakeList({{"A", taLeftJustify}, {"", taLeftJustify}}, {{"x", ""}});
            break;
        case 4:
            list =
                MakeList({{"Abcde", taLeftJustify}, {"Prawo", taCenter}, {"Ile", taRightJustify}},
                         {{"x", "ab", "1"}});
            break;
        default:
            list = MakeList({{"Abc", taRightJustify}}, {{"x"}});
            break;
        }
        const TTableLayout layout(list->Columns(), list->Items());
        QCOMPARE(Joined(layout.Head()[1]), Head);
        if (list->Items().Count() > 0)
            QCOMPARE(Row(layout, *list, 0), FirstRow);
        QCOMPARE(Cp1250::ToUnicode(layout.Closing()), Closing);
    }

    void Justify_padsByAlignmentAndNeverCuts_data()
    {
        QTest::addColumn<QString>("Text");
        QTest::addColumn<int>("Width");
        QTest::addColumn<int>("Alignment");
        QTest::addColumn<QString>("Expected");
        QTest::newRow("left") << "ab" << 5 << int(taLeftJustify) << "ab   ";
        QTest::newRow("right, one character in eight")
            << "1" << 8 << int(taRightJustify) << "       1";
        QTest::newRow("centred, two in five") << "ab" << 5 << int(taCenter) << "  ab ";
        QTest::newRow("centred, even padding") << "ab" << 6 << int(taCenter) << "  ab  ";
        QTest::newRow("longer than the width: whole")
            << "abcdef" << 3 << int(taRightJustify) << "abcdef";
        QTest::newRow("width 0") << "" << 0 << int(taCenter) << "";
    }
    void Justify_padsByAlignmentAndNeverCuts()
    {
        QFETCH(QString, Text);
        QFETCH(int, Width);
        QFETCH(int, Alignment);
        QFETCH(QString, Expected);
        QCOMPARE(QString::fromStdString(TTableLayout::Justify(
                     Text.toStdString(), std::size_t(Width), TAlignment(Alignment))),
                 Expected);
    }
};

QTEST_MAIN(TestTableLayout)
#include "tst_TableLayout.moc"
