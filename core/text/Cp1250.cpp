#include "Cp1250.h"

#include <array>

namespace Cp1250 {
namespace {

// 0x80..0xFF. The five bytes that the code page leaves undefined map to the C1 controls
// of the same number, so that a data file holding them still reads and writes unchanged.
constexpr std::array<char16_t, 128> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

// Reverse table indexed by UTF-16 code unit; 0 marks "not in the code page" (NUL itself is
// handled before the lookup).
struct TReverse
{
    std::array<unsigned char, 0x10000> Bytes{};
    TReverse()
    {
        for (int b = 1; b < 0x80; ++b)
            Bytes[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
        for (std::size_t i = 0; i < kHigh.size(); ++i)
            Bytes[kHigh[i]] = static_cast<unsigned char>(0x80 + i);
    }
};

const TReverse& Reverse()
{
    static const TReverse table;
    return table;
}

} // namespace

QChar ToUnicode(unsigned char Byte)
{
    return Byte < 0x80 ? QChar(char16_t(Byte)) : QChar(kHigh[Byte - 0x80u]);
}

void ToUtf16(std::string_view Bytes, char16_t* Out)
{
    for (const char c : Bytes) {
        const auto b = static_cast<unsigned char>(c);
        *Out++ = b < 0x80 ? char16_t(b) : kHigh[b - 0x80u];
    }
}

QString ToUnicode(std::string_view Bytes)
{
    QString result(static_cast<qsizetype>(Bytes.size()), Qt::Uninitialized);
    ToUtf16(Bytes, reinterpret_cast<char16_t*>(result.data()));
    return result;
}

bool CanEncode(QChar Character)
{
    return Character.unicode() == 0 || Reverse().Bytes[Character.unicode()] != 0;
}

qsizetype FirstUnencodable(const QString& Text)
{
    for (qsizetype i = 0; i < Text.size(); ++i)
        if (!CanEncode(Text[i]))
            return i;
    return -1;
}

std::optional<std::string> FromUnicode(const QString& Text)
{
    std::string result(static_cast<std::size_t>(Text.size()), '\0');
    const auto& table = Reverse().Bytes;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const char16_t u = Text[i].unicode();
        if (u == 0)
            continue;
        const unsigned char b = table[u];
        if (b == 0)
            return std::nullopt;
        result[static_cast<std::size_t>(i)] = static_cast<char>(b);
    }
    return result;
}

std::string FromUtf8(std::string_view Utf8)
{
    const auto bytes =
        FromUnicode(QString::fromUtf8(Utf8.data(), static_cast<qsizetype>(Utf8.size())));
    return bytes ? *bytes : std::string();
}

} // namespace Cp1250

namespace Cp1250 {

namespace {

// Built from the character table itself, so that folding bytes agrees with folding their
// characters: each byte goes to the first byte whose character folds the same.
struct TFoldTable
{
    unsigned char Fold[256];
    TFoldTable()
    {
        QChar folded[256];
        for (int b = 0; b < 256; ++b) {
            const QString f = QString(ToUnicode(static_cast<unsigned char>(b))).toCaseFolded();
            folded[b] = f.size() == 1 ? f[0] : ToUnicode(static_cast<unsigned char>(b));
            Fold[b] = static_cast<unsigned char>(b);
            for (int first = 0; first < b; ++first)
                if (folded[first] == folded[b]) {
                    Fold[b] = static_cast<unsigned char>(first);
                    break;
                }
        }
    }
};

const TFoldTable& Table()
{
    static const TFoldTable table;
    return table;
}

} // namespace

unsigned char FoldCase(unsigned char Byte)
{
    return Table().Fold[Byte];
}

std::size_t TFoldedHash::operator()(std::string_view Text) const
{
    // FNV-1a over the folded bytes.
    const unsigned char* fold = Table().Fold;
    std::size_t hash = 14695981039346656037ull;
    for (const char c : Text) {
        hash ^= fold[static_cast<unsigned char>(c)];
        hash *= 1099511628211ull;
    }
    return hash;
}

bool TFoldedEqual::operator()(std::string_view Left, std::string_view Right) const
{
    if (Left.size() != Right.size())
        return false;
    if (Left == Right)
        return true; // mostly the same spelling: no folding needed
    const unsigned char* fold = Table().Fold;
    for (std::size_t i = 0; i < Left.size(); ++i)
        if (fold[static_cast<unsigned char>(Left[i])] != fold[static_cast<unsigned char>(Right[i])])
            return false;
    return true;
}

} // namespace Cp1250
