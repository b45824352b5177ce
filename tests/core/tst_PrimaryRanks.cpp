// Keys of a collation's first level made by a table: texts stand in the order of their keys
// wherever the first level tells them apart, and have equal keys where it does not.
#include "Cp1250.h"
#include "Locale.h"
#include "PrimaryRanks.h"

#include <QtTest>

#include <unicode/ucol.h>

#include <memory>
#include <random>
#include <string>

namespace {

struct TCollatorCloser
{
    void operator()(UCollator* Collator) const { ucol_close(Collator); }
};

int Sign(int Value)
{
    return Value < 0 ? -1 : (Value > 0 ? 1 : 0);
}

// The first-level order of two texts as the collation itself tells it.
int FirstLevelOrder(UCollator* Collator, const std::string& Left, const std::string& Right)
{
    const QString l = Cp1250::ToUnicode(Left);
    const QString r = Cp1250::ToUnicode(Right);
    return Sign(ucol_strcoll(
        Collator, reinterpret_cast<const UChar*>(l.utf16()), static_cast<int32_t>(l.size()),
        reinterpret_cast<const UChar*>(r.utf16()), static_cast<int32_t>(r.size())));
}

// A text's key read a word at a time until a word ends it, as a sort reads it.
std::string KeyInWords(const TPrimaryRanks& Ranks, const std::string& Text)
{
    std::string key;
    std::uint32_t state = 0;
    for (std::uint64_t word = ~std::uint64_t(0); (word & 0xFF) != 0;) {
        word = Ranks.Word(Text, state);
        for (int shift = 56; shift >= 0 && (word >> shift & 0xFF) != 0; shift -= 8)
            key += char(word >> shift & 0xFF);
    }
    return key;
}

} // namespace

class TestPrimaryRanks : public QObject
{
    Q_OBJECT

private slots:
    // Any bytes, with letters that a language reads as one and characters that weigh as two
    // ("ß" as "ss") often: the keys agree with the collation's first level, pair by pair, and
    // are the same read whole or a word at a time.
    void Keys_orderAsTheFirstLevel_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char* name : {"pl_PL", "cs_CZ", "sk_SK", "hu_HU", "de_DE", "ca_ES", "C"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void Keys_orderAsTheFirstLevel()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        const TPrimaryRanks ranks(Locale::CaseSensitiveCollator(),
                                  CollationSequencesOf(Locale::CaseSensitiveCollator()));
        QVERIFY(ranks.Usable());
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UCollator, TCollatorCloser> primary(
            ucol_clone(Locale::CaseSensitiveCollator(), &status));
        QVERIFY(U_SUCCESS(status));
        ucol_setStrength(primary.get(), UCOL_PRIMARY);
        std::mt19937 random(20261210);
        const std::string often =
            "aAcChHlLsSzZdDgGnNyY \xb7\xb9\xa5\xea\x9c\x9f\xbf\xb3\xdf\xe4-.0";
        auto byte = [&] {
            return random() % 4 == 0 ? char(1 + random() % 255) : often[random() % often.size()];
        };
        std::string leftKey;
        std::string rightKey;
        for (int i = 0; i < 40000; ++i) {
            std::string left;
            for (std::size_t n = random() % 6; n > 0; --n)
                left += byte();
            std::string right = left;
            for (std::size_t n = random() % 5; n > 0; --n)
                left += byte();
            for (std::size_t n = random() % 5; n > 0; --n)
                right += byte();
            ranks.Make(left, leftKey);
            ranks.Make(right, rightKey);
            const int expected = FirstLevelOrder(primary.get(), left, right);
            if (Sign(leftKey.compare(rightKey)) != expected ||
                ranks.CompareFirstLevel(left, right) != expected ||
                KeyInWords(ranks, left) != leftKey || KeyInWords(ranks, right) != rightKey)
                QFAIL(qPrintable(QStringLiteral("%1 / %2").arg(
                    QString::fromLatin1(QByteArray::fromStdString(left).toHex(' ')),
                    QString::fromLatin1(QByteArray::fromStdString(right).toHex(' ')))));
        }
        QLocale::setDefault(QLocale::c());
    }
};

QTEST_GUILESS_MAIN(TestPrimaryRanks)
#include "tst_PrimaryRanks.moc"
