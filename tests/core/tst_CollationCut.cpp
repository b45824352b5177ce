// Comparing texts that begin alike: what they share is skipped, never so far that the
// collation's reading of what follows changes.
#include "Locale.h"
#include "TextKeyMaker.h"

#include <QtTest>

#include <random>
#include <string>

namespace {

int Sign(int Value)
{
    return Value < 0 ? -1 : (Value > 0 ? 1 : 0);
}

// The order of the texts' whole collation keys, which are made of the whole texts.
int KeyOrder(const std::string& Left, const std::string& Right)
{
    std::string left;
    std::string right;
    Locale::TextSortKey(Left, left);
    Locale::TextSortKey(Right, right);
    return Sign(left.compare(right));
}

} // namespace

class TestCollationCut : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // Letters a language reads as one ("ch" in Czech, "dzs" in Hungarian, "l·l" in Catalan)
    // are not cut apart where two texts first differ inside them.
    void Compare_ordersAsTheWholeTexts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("left");
        QTest::addColumn<QByteArray>("right");
        QTest::addColumn<int>("expected");
        QTest::newRow("Czech: ch after c-i")
            << "cs_CZ" << QByteArray("Bach") << QByteArray("Baci") << 1;
        QTest::newRow("Czech: ch after h")
            << "cs_CZ" << QByteArray("chata") << QByteArray("hrad") << 1;
        QTest::newRow("Czech: shared ch")
            << "cs_CZ" << QByteArray("Bacha") << QByteArray("Bachb") << -1;
        QTest::newRow("Hungarian: dzs after dz-t")
            << "hu_HU" << QByteArray("Adzsa") << QByteArray("Adzt") << 1;
        QTest::newRow("Hungarian: zs then z, not s then z")
            << "hu_HU" << QByteArray("Zsz") << QByteArray("ZsZ") << -1;
        QTest::newRow("Slovak: ch after c-z")
            << "sk_SK" << QByteArray("Xch") << QByteArray("Xcz") << 1;
        QTest::newRow("Polish: ogonek letter after its base")
            << "pl_PL" << QByteArray("Ma\xb9ka") << QByteArray("Mazka") << -1;
        QTest::newRow("Polish: texts alike but for case")
            << "pl_PL" << QByteArray("Abba") << QByteArray("ABBA") << -1;
        QTest::newRow("Polish: one text begins the other")
            << "pl_PL" << QByteArray("Abba") << QByteArray("Abba 2") << -1;
    }
    void Compare_ordersAsTheWholeTexts()
    {
        QFETCH(QString, locale);
        QFETCH(QByteArray, left);
        QFETCH(QByteArray, right);
        QFETCH(int, expected);
        QLocale::setDefault(QLocale(locale));
        Locale::PrepareForLongLists();
        const std::string l = left.toStdString();
        const std::string r = right.toStdString();
        QCOMPARE(KeyOrder(l, r), expected);
        QCOMPARE(Locale::CompareText(l, r), expected);
        QCOMPARE(Locale::CompareText(r, l), -expected);
        TTextKeyMaker maker; // a collation of its own, for another thread
        QCOMPARE(maker.Compare(l, r), expected);
    }

    // Any bytes, in texts that share a beginning of any length: the comparison and the whole
    // keys agree, under collations with and without letters read as one.
    void Compare_agreesWithWholeKeysForAnyBytes_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char* name : {"pl_PL", "cs_CZ", "hu_HU", "ca_ES", "C"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void Compare_agreesWithWholeKeysForAnyBytes()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        Locale::PrepareForLongLists();
        std::mt19937 random(20261210);
        // Letters of contractions and marks often, any byte but NUL now and then.
        const std::string often = "aAcChHlLsSzZdDgGnNtTyY \xb7\xb9\xea\x9c\x9f\xbf\xb3-.0123";
        auto byte = [&] {
            return random() % 4 == 0 ? char(1 + random() % 255) : often[random() % often.size()];
        };
        TTextKeyMaker maker;
        for (int i = 0; i < 40000; ++i) {
            std::string left;
            for (std::size_t n = random() % 12; n > 0; --n)
                left += byte();
            std::string right = left;
            for (std::size_t n = random() % 4; n > 0; --n)
                left += byte();
            for (std::size_t n = random() % 4; n > 0; --n)
                right += byte();
            const int expected = KeyOrder(left, right);
            if (Locale::CompareText(left, right) != expected ||
                maker.Compare(left, right) != expected)
                QFAIL(qPrintable(QStringLiteral("%1 / %2").arg(
                    QString::fromLatin1(QByteArray::fromStdString(left).toHex(' ')),
                    QString::fromLatin1(QByteArray::fromStdString(right).toHex(' ')))));
        }
    }
};

QTEST_GUILESS_MAIN(TestCollationCut)
#include "tst_CollationCut.moc"
