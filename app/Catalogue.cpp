#include "Catalogue.h"

#include "ListView.h"
#include "PieceMill.h"
#include "SafeFileWriter.h"
#include "TextFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <sys/stat.h>

namespace Catalogue {

TFileStamp StampOf(const QString& Path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(Path).constData(), &st) != 0)
        return {};
    return {true, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool SomethingAt(const QString& Path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(Path).constData(), &st) == 0;
}

std::string PobierzPole(std::string_view Line, unsigned char N)
{
    std::string result;
    unsigned tabs = 0;
    for (const char c : Line) {
        if (tabs == N && c != '\t')
            result.push_back(c);
        if (c == '\t')
            ++tabs;
    }
    return result;
}

QString DataFilePath(const QString& ExecutablePath)
{
    const qsizetype cut = ExecutablePath.lastIndexOf(QLatin1Char('/'));
    QString directory = cut < 0 ? QString() : ExecutablePath.left(cut + 1);
    // The separator goes unless the directory is the root, which keeps it: "//Dyskar.dat".
    if (directory.size() > 1)
        directory.chop(1);
    return directory + QStringLiteral("/Dyskar.dat");
}

TLoadResult Load(const QString& Path, TCustomListView& Master)
{
    TLoadResult result;
    TTextFileReader file;
    if (!file.Open(Path)) {
        result.Error = file.ErrorString();
        return result;
    }
    result.Opened = true;
    Master.Items().BeginUpdate();
    std::string_view line;
    std::string spill;
    // The lines' texts share chunks of room; a line is read where it lies in the file's buffer.
    TRowTextArena arena;
    // Rows are appended at once, room taken for as many as the file's size says at most: a
    // record's line is rarely shorter than this. A file of shorter lines, or one whose size is
    // not known ahead (a pipe), takes more turns, each with room for as many rows again.
    constexpr qint64 kShortLine = 24;
    auto expected = static_cast<std::size_t>(QFileInfo(Path).size() / kShortLine + 64);
    while (!file.Eof()) {
        Master.Items().AddWhile(expected, [&](TListItem& Row) {
            if (file.Eof())
                return false;
            file.ReadLine(line, spill);
            Row.Text = TRowText::FromTabbedLine(line, kFieldCount, &arena);
            ++result.Records;
            return true;
        });
        expected = std::max(expected, static_cast<std::size_t>(Master.Items().Count()));
    }
    Master.Items().EndUpdate();
    result.ReadFailed = file.ReadFailed();
    if (result.ReadFailed)
        result.Error = file.ErrorString();
    return result;
}

TSaveResult Save(const QString& Path, const TCustomListView& Master, TSafeFileWriter::TCare Care)
{
    TSaveResult result;
    TSafeFileWriter file(Path);
    file.SetCare(std::move(Care));
    if (!file.Open()) {
        result.Error = file.ErrorString();
        return result;
    }
    const TListItems& items = Master.Items();
    const int count = items.Count();
    // The lines are made in pieces of a few tens of thousands of rows, two pieces at a time,
    // while the piece before goes to the file; the rows are only read meanwhile.
    constexpr int kPieceRows = 32768;
    const auto pieces = static_cast<std::size_t>((count + kPieceRows - 1) / kPieceRows);
    const auto makePiece = [&items, count](std::size_t Piece, TPieceBuffer& Out) {
        const int from = static_cast<int>(Piece) * kPieceRows;
        const auto writeLine = [&Out](const TListItem& Row) {
            const TRowText& texts = Row.Texts();
            char* end =
                texts.CopyJoined(Out.Room(texts.JoinedSize(kFieldCount) + 2), '\t', kFieldCount);
            *end++ = '\r';
            *end++ = '\n';
            Out.MarkWritten(end);
        };
        items.ForEach(writeLine, from, std::min(count, from + kPieceRows));
    };
    TPieceMill::Run(pieces, makePiece, [&file](std::string_view Piece) { file.Write(Piece); });
    result.Ok = file.Commit();
    if (!result.Ok)
        result.Error = file.ErrorString();
    return result;
}

std::int64_t DiscCount(std::string_view Field)
{
    std::size_t i = 0;
    while (i < Field.size() && Field[i] == ' ')
        ++i;
    bool negative = false;
    std::int64_t value = 0;
    if (i < Field.size() && Field[i] == '$') {
        ++i;
        for (; i < Field.size(); ++i) {
            const char c = Field[i];
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            if (digit < 0 || value > 268435455)
                break;
            value = value * 16 + digit;
        }
    } else {
        if (i < Field.size() && (Field[i] == '+' || Field[i] == '-'))
            negative = Field[i++] == '-';
        for (; i < Field.size(); ++i) {
            const char c = Field[i];
            if (c < '0' || c > '9' || value > 214748364)
                break;
            value = value * 10 + (c - '0');
        }
    }
    // The sign counts only when the whole field is the number.
    return i == Field.size() && negative ? -value : value;
}

} // namespace Catalogue
