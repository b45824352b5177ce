// A set of texts, as the pick lists keep their values: each text once (ignoring case where
// asked), found under the ordinal it got, through growth, erasing and reading ahead.
#include "Cp1250.h"
#include "TextSet.h"

#include <QtTest>

#include <map>
#include <random>
#include <string>
#include <vector>

class TestTextSet : public QObject
{
    Q_OBJECT
private slots:
    void afterErasing_findsExactlyTheTextsStillIn()
    {
        // Texts go in and out at random, many sharing a home slot; every text still in is
        // found under the ordinal it got, none taken out is, and a text that comes back gets
        // a new ordinal.
        std::vector<std::string> lower, upper; // the set keeps views: these stay put
        for (int i = 0; i < 300; ++i) {
            lower.push_back(Cp1250::FromUtf8("żółw ") + std::to_string(i));
            upper.push_back(Cp1250::FromUtf8("ŻÓŁW ") + std::to_string(i));
        }
        TTextSet set(TTextSet::csIgnore);
        std::map<std::size_t, std::ptrdiff_t> in; // ordinals by the text's number
        std::mt19937 random(5);
        std::size_t nextOrdinal = 0;
        for (int step = 0; step < 40000; ++step) {
            const std::size_t n = random() % 300;
            const std::string& spelt = random() % 2 ? lower[n] : upper[n];
            if (random() % 3 == 0) {
                QCOMPARE(set.Erase(spelt), in.erase(n) == 1);
            } else {
                const TTextSet::TPlace place = set.Place(spelt);
                QCOMPARE(place.Inserted, !in.contains(n));
                if (place.Inserted)
                    in[n] = std::ptrdiff_t(nextOrdinal++);
                QCOMPARE(std::ptrdiff_t(place.Ordinal), in[n]);
            }
            if (step % 1000 == 0 || step > 39700) {
                QCOMPARE(set.Size(), in.size());
                for (std::size_t i = 0; i < 300; ++i) {
                    const auto known = in.find(i);
                    QCOMPARE(set.OrdinalOf(upper[i]), known == in.end() ? -1 : known->second);
                }
            }
        }
        QCOMPARE(set.Ordinals(), nextOrdinal);
    }

    void keepsEachTextOnce_data()
    {
        QTest::addColumn<bool>("IgnoreCase");
        QTest::addColumn<bool>("Ahead"); // hashes asked for ahead, room made beforehand
        QTest::newRow("as they are") << false << false;
        QTest::newRow("ignoring case") << true << false;
        QTest::newRow("as they are, ahead") << false << true;
        QTest::newRow("ignoring case, ahead") << true << true;
    }
    void keepsEachTextOnce()
    {
        // Many texts (the table grows many times over), each met in both spellings.
        QFETCH(bool, IgnoreCase);
        QFETCH(bool, Ahead);
        TTextSet set(IgnoreCase ? TTextSet::csIgnore : TTextSet::csExact);
        if (Ahead)
            set.Reserve(3000); // less than will go in: the set must still grow
        const auto insert = [&](std::string_view Text) {
            if (!Ahead)
                return set.Insert(Text);
            const std::uint32_t hash = set.ReadAhead(Text);
            set.ReadAheadHeld(hash);
            return set.Insert(Text, hash);
        };
        const auto ordinal = [&](std::string_view Text) {
            return Ahead ? set.OrdinalOf(Text, set.ReadAhead(Text)) : set.OrdinalOf(Text);
        };
        std::vector<std::string> lower, upper;
        for (int i = 0; i < 5000; ++i) {
            lower.push_back(Cp1250::FromUtf8("półka łódź ") + std::to_string(i));
            upper.push_back(Cp1250::FromUtf8("PÓŁKA ŁÓDŹ ") + std::to_string(i));
        }
        for (int i = 0; i < 5000; ++i) {
            QVERIFY(insert(lower[std::size_t(i)]));
            QCOMPARE(insert(upper[std::size_t(i)]), !IgnoreCase);
            QVERIFY(!insert(lower[std::size_t(i)]));
        }
        QCOMPARE(set.Size(), std::size_t(IgnoreCase ? 5000 : 10000));
        for (int i = 0; i < 5000; ++i) {
            QCOMPARE(ordinal(lower[std::size_t(i)]), std::ptrdiff_t(IgnoreCase ? i : 2 * i));
            QCOMPARE(ordinal(upper[std::size_t(i)]), std::ptrdiff_t(IgnoreCase ? i : 2 * i + 1));
        }
        QCOMPARE(set.OrdinalOf("P"), std::ptrdiff_t(-1));
        QVERIFY(!set.Contains(std::string_view()));
        QVERIFY(set.Insert(std::string_view()));
        QVERIFY(set.Contains(std::string_view()));
    }
};

QTEST_MAIN(TestTextSet)
#include "tst_TextSet.moc"
