// Row texts made in an arena read back as split, outlive the arena, and go with their last
// copy (the sanitizer build reports a chunk freed too early or never).
#include "RowText.h"

#include <QtTest>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

class TestRowText : public QObject
{
    Q_OBJECT
private slots:
    void ArenaTextsReadBackAndOutliveTheArena_data()
    {
        QTest::addColumn<int>("Rows");
        QTest::addColumn<int>("LongEvery"); // a text too long for a chunk every so many rows
        QTest::newRow("one row") << 1 << 0;
        QTest::newRow("many chunks of short rows") << 20000 << 0;
        QTest::newRow("long rows among short ones") << 3000 << 7;
    }
    void ArenaTextsReadBackAndOutliveTheArena()
    {
        QFETCH(int, Rows);
        QFETCH(int, LongEvery);
        std::mt19937 rng(7);
        std::uniform_int_distribution<int> length(0, 40);
        std::vector<std::vector<std::string>> wanted;
        std::vector<TRowText> texts;
        {
            TRowTextArena arena;
            for (int i = 0; i < Rows; ++i) {
                std::vector<std::string> fields;
                std::string line;
                for (int f = 0; f < 5; ++f) {
                    const bool isLong = LongEvery > 0 && i % LongEvery == 0 && f == 0;
                    fields.emplace_back(isLong ? 70000 : length(rng), char('a' + (i + f) % 26));
                    line += (f ? "\t" : "") + fields.back();
                }
                wanted.push_back(fields);
                texts.push_back(TRowText::FromTabbedLine(line, 5, &arena));
            }
        } // the arena goes; its rows stay
        std::vector<TRowText> copies = texts;
        // An edit makes a block of its own; the arena's block stays with the other copy.
        const TRowText edited = copies.front().WithField(1, "zmiana");
        std::vector<std::size_t> order(texts.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::shuffle(order.begin(), order.end(), rng);
        for (const std::size_t i : order) {
            for (int f = 0; f < 5; ++f)
                QCOMPARE(copies[i].Field(f), std::string_view(wanted[i][std::size_t(f)]));
            texts[i] = TRowText(); // rows go in no order of their chunks
        }
        QCOMPARE(edited.Field(1), std::string_view("zmiana"));
        QCOMPARE(edited.Field(0), std::string_view(wanted[0][0]));
        for (const std::size_t i : order) {
            QCOMPARE(copies[i].Field(4), std::string_view(wanted[i][4]));
            copies[i] = TRowText();
        }
    }
    void FieldsReadBackWhateverTheirLength_data()
    {
        QTest::addColumn<QList<int>>("Lengths");
        QTest::newRow("short") << QList<int>{3, 0, 7, 0, 1};
        QTest::newRow("empty fields") << QList<int>{0, 0, 0};
        // Around the longest row whose field ends take two bytes each.
        QTest::newRow("65535 bytes") << QList<int>{65000, 0, 535};
        QTest::newRow("65536 bytes") << QList<int>{65000, 1, 535};
        QTest::newRow("a long last field") << QList<int>{1, 2, 70000};
    }
    void FieldsReadBackWhateverTheirLength()
    {
        QFETCH(QList<int>, Lengths);
        std::vector<std::string> fields;
        std::string joined;
        for (int i = 0; i < Lengths.size(); ++i) {
            fields.emplace_back(std::size_t(Lengths[i]), char('a' + i));
            joined += (i ? "|" : "") + fields.back();
        }
        const std::vector<std::string_view> views(fields.begin(), fields.end());
        for (const bool inArena : {false, true}) {
            TRowTextArena arena;
            std::string line;
            for (std::size_t i = 0; i < fields.size(); ++i)
                line += (i ? "\t" : "") + fields[i];
            const TRowText text = inArena
                                      ? TRowText::FromTabbedLine(line, int(fields.size()), &arena)
                                      : TRowText::FromFields(views);
            QCOMPARE(text.FieldCount(), int(fields.size()));
            std::size_t bytes = 0;
            for (std::size_t i = 0; i < fields.size(); ++i) {
                QCOMPARE(text.Field(int(i)), std::string_view(fields[i]));
                bytes += fields[i].size();
            }
            QCOMPARE(text.Field(int(fields.size())), std::string_view());
            QCOMPARE(text.ByteSize(), bytes);
            const int joinedFields = int(fields.size()) + 1;
            std::string out = "x" + std::string(text.JoinedSize(joinedFields), '?');
            const char* end = text.CopyJoined(out.data() + 1, '|', joinedFields);
            QCOMPARE(end, out.data() + out.size());
            QCOMPARE(out, "x" + joined + "|");
            const TRowText edited = text.WithField(1, "zmiana");
            QCOMPARE(edited.Field(0), std::string_view(fields[0]));
            QCOMPARE(edited.Field(1), std::string_view("zmiana"));
        }
    }
    void ArenaTexts_readBackThroughRoundsOfEmptyingAndFillingAgain()
    {
        // Rounds of rows made and dropped in one arena, as a view is emptied and rebuilt: room
        // that emptied may serve again, and must never serve a row that still lives.
        std::mt19937 rng(11);
        std::uniform_int_distribution<int> length(0, 60);
        std::vector<std::pair<TRowText, std::string>> live;
        const auto readBack = [&live] {
            for (const auto& [text, line] : live) {
                std::string joined(text.JoinedSize(5), '?');
                joined.resize(std::size_t(text.CopyJoined(joined.data(), '\t', 5) - joined.data()));
                if (joined != line)
                    return false;
            }
            return true;
        };
        {
            TRowTextArena arena;
            for (int round = 0; round < 6; ++round) {
                for (int i = 0; i < 60000; ++i) {
                    std::string line;
                    for (int f = 0; f < 5; ++f)
                        line += (f ? "\t" : "") +
                                std::string(length(rng), char('a' + (i + round) % 26));
                    live.emplace_back(TRowText::FromTabbedLine(line, 5, &arena), line);
                }
                QVERIFY(readBack());
                // Most rows go, in no order; the whole list goes every other round.
                std::shuffle(live.begin(), live.end(), rng);
                live.resize(round % 2 ? 0 : live.size() / 10);
                QVERIFY(readBack());
            }
            for (int i = 0; i < 60000; ++i)
                live.emplace_back(TRowText::FromTabbedLine("a\tb\tc\td\te", 5, &arena),
                                  "a\tb\tc\td\te");
        } // the arena goes with spare room kept; its rows stay
        QVERIFY(readBack());
        std::shuffle(live.begin(), live.end(), rng);
        live.resize(live.size() / 2);
        QVERIFY(readBack());
    }

    void TabbedLinesSplitAtEveryTab_data()
    {
        QTest::addColumn<QByteArray>("Line");
        QTest::addColumn<int>("Fields");
        QTest::newRow("fewer fields than asked") << QByteArray("a\tb") << 5;
        QTest::newRow("more fields than asked") << QByteArray("a\tb\tc\td") << 2;
        QTest::newRow("a tab at the end") << QByteArray("a\tb\t") << 5;
        QTest::newRow("empty line") << QByteArray() << 3;
        QTest::newRow("only tabs") << QByteArray(40, '\t') << 50;
        // Tabs on both sides of every sixteenth byte.
        QByteArray across;
        for (int i = 0; i < 70; ++i)
            across += (i % 16 == 15 || i % 16 == 0) ? '\t' : char('a' + i % 26);
        QTest::newRow("tabs around every sixteenth byte") << across << 12;
        QTest::newRow("tabs around every sixteenth byte, cut short") << across << 4;
    }
    void TabbedLinesSplitAtEveryTab()
    {
        QFETCH(QByteArray, Line);
        QFETCH(int, Fields);
        const std::string line = Line.toStdString();
        // A field runs to the next tab; fields past the line's end are empty.
        std::vector<std::string> wanted;
        std::size_t start = 0;
        for (int i = 0; i < Fields; ++i) {
            if (start > line.size()) {
                wanted.emplace_back();
                continue;
            }
            const std::size_t tab = std::min(line.find('\t', start), line.size());
            wanted.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        TRowTextArena arena;
        const TRowText text = TRowText::FromTabbedLine(line, Fields, &arena);
        QCOMPARE(text.FieldCount(), Fields);
        for (int i = 0; i < Fields; ++i)
            QCOMPARE(text.Field(i), std::string_view(wanted[std::size_t(i)]));
    }
};

QTEST_APPLESS_MAIN(TestRowText)
#include "tst_RowText.moc"
