// Windows-1250 text: every byte survives the trip to Unicode and back; nothing else gets in.
#include "Cp1250.h"
#include "TextSet.h"

#include <QtTest>

#include <map>
#include <random>
#include <string>
#include <vector>

class TestCp1250 : public QObject
{
    Q_OBJECT
private slots:
    void EveryByte_roundTripsThroughUnicode()
    {
        std::string all;
        for (int b = 0; b < 256; ++b)
            all.push_back(char(b));
        const QString text = Cp1250::ToUnicode(all);
        QCOMPARE(text.size(), 256);
        const auto back = Cp1250::FromUnicode(text);
        QVERIFY(back.has_value());
        QVERIFY(*back == all);
    }

    void Characters_mapToTheirCodePagePlaces_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("unicode");
        QTest::newRow("euro") << 0x80 << 0x20AC;
        QTest::newRow("undefined 0x81") << 0x81 << 0x81;
        QTest::newRow("undefined 0x98") << 0x98 << 0x98;
        QTest::newRow("L with stroke") << 0xA3 << 0x0141;
        QTest::newRow("a ogonek") << 0xB9 << 0x0105;
        QTest::newRow("z acute") << 0x9F << 0x017A;
        QTest::newRow("e ogonek") << 0xEA << 0x0119;
        QTest::newRow("dot above") << 0xFF << 0x02D9;
    }
    void Characters_mapToTheirCodePagePlaces()
    {
        QFETCH(int, byte);
        QFETCH(int, unicode);
        QCOMPARE(int(Cp1250::ToUnicode(static_cast<unsigned char>(byte)).unicode()), unicode);
    }

    void TextTheCodePageCannotHold_isRefusedNotReplaced_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("firstBad");
        QTest::newRow("Polish letters fit") << QString::fromUtf8("Zażółć gęślą jaźń") << -1;
        QTest::newRow("Cyrillic") << QString::fromUtf8("abc Ж") << 4;
        QTest::newRow("emoji") << QString::fromUtf8("😀") << 0;
        QTest::newRow("Latin-1 not in 1250") << QString::fromUtf8("ñ") << 0;
    }
    void TextTheCodePageCannotHold_isRefusedNotReplaced()
    {
        QFETCH(QString, text);
        QFETCH(int, firstBad);
        QCOMPARE(int(Cp1250::FirstUnencodable(text)), firstBad);
        QCOMPARE(Cp1250::FromUnicode(text).has_value(), firstBad < 0);
    }

    void FoldingBytes_agreesWithFoldingTheirCharacters()
    {
        for (int a = 0; a < 256; ++a)
            for (int b = 0; b < 256; ++b) {
                const bool bytes = Cp1250::FoldCase(static_cast<unsigned char>(a)) ==
                                   Cp1250::FoldCase(static_cast<unsigned char>(b));
                const bool characters =
                    QString(Cp1250::ToUnicode(static_cast<unsigned char>(a))).toCaseFolded() ==
                    QString(Cp1250::ToUnicode(static_cast<unsigned char>(b))).toCaseFolded();
                if (bytes != characters)
                    QFAIL(qPrintable(QStringLiteral("bytes %1 and %2").arg(a).arg(b)));
            }
        const Cp1250::TFoldedEqual same;
        const Cp1250::TFoldedHash hash;
        const std::string upper = Cp1250::FromUtf8("ŁĄKA Ż");
        const std::string lower = Cp1250::FromUtf8("łąka ż");
        QVERIFY(same(upper, lower));
        QCOMPARE(hash(upper), hash(lower));
        QVERIFY(!same(upper, Cp1250::FromUtf8("łąka z")));
    }

    void TextSet_afterErasing_findsExactlyTheTextsStillIn()
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

    void TextSet_keepsEachTextOnce_data()
    {
        QTest::addColumn<bool>("IgnoreCase");
        QTest::addColumn<bool>("Ahead"); // hashes asked for ahead, room made beforehand
        QTest::newRow("as they are") << false << false;
        QTest::newRow("ignoring case") << true << false;
        QTest::newRow("as they are, ahead") << false << true;
        QTest::newRow("ignoring case, ahead") << true << true;
    }
    void TextSet_keepsEachTextOnce()
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

QTEST_MAIN(TestCp1250)
#include "tst_Cp1250.moc"
