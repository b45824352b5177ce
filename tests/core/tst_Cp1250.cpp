// Windows-1250 text: every byte survives the trip to Unicode and back; nothing else gets in.
#include "Cp1250.h"

#include <QtTest>

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
};

QTEST_MAIN(TestCp1250)
#include "tst_Cp1250.moc"
