// Any bytes as a data file: loading never crashes and finds exactly the records that a reading
// of the format written here finds; saving writes them in that format; and load, save, load,
// save gives the same file both times.
#include "Catalogue.h"
#include "ListView.h"
#include "support/FuzzApplication.h"
#include "support/FuzzCheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using TRecord = std::array<std::string, 5>;

// The format: the file ends at its first Ctrl-Z; a record ends at CR, and an LF right after
// the CR belongs to the line end; fields are separated by TAB, missing ones are empty and
// those beyond the fifth are not read.
std::vector<TRecord> ReadFormat(std::string_view Bytes)
{
    const std::string_view content = Bytes.substr(0, Bytes.find('\x1a'));
    std::vector<TRecord> records;
    std::size_t at = 0;
    while (at < content.size()) {
        const std::size_t cr = content.find('\r', at);
        const std::string_view line =
            content.substr(at, cr == std::string_view::npos ? std::string_view::npos : cr - at);
        at = cr == std::string_view::npos ? content.size() : cr + 1;
        if (cr != std::string_view::npos && at < content.size() && content[at] == '\n')
            ++at;
        TRecord record;
        std::size_t from = 0;
        for (std::size_t f = 0; f < record.size() && from <= line.size(); ++f) {
            const std::size_t tab = line.find('\t', from);
            const std::size_t end = tab == std::string_view::npos ? line.size() : tab;
            record[f] = std::string(line.substr(from, end - from));
            from = end + 1;
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::string WriteFormat(const std::vector<TRecord>& Records)
{
    std::string all;
    for (const TRecord& r : Records)
        all += r[0] + '\t' + r[1] + '\t' + r[2] + '\t' + r[3] + '\t' + r[4] + "\r\n";
    return all;
}

std::string ReadFile(const QString& Path)
{
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll().toStdString();
}

struct TWorld
{
    // In memory where the system offers it: a save syncs, and a disk would slow every run.
    QTemporaryDir Dir{QDir(QStringLiteral("/dev/shm")).exists()
                          ? QStringLiteral("/dev/shm/dyskar-fuzz-XXXXXX")
                          : QDir::tempPath() + QStringLiteral("/dyskar-fuzz-XXXXXX")};
    TCustomListView List;
    QString Path(const char* Name) const { return Dir.filePath(QString::fromLatin1(Name)); }
    std::string LoadAndSave(const QString& From, const QString& To)
    {
        List.Items().Clear();
        const Catalogue::TLoadResult loaded = Catalogue::Load(From, List);
        FUZZ_CHECK(loaded.Opened && !loaded.ReadFailed);
        FUZZ_CHECK(Catalogue::Save(To, List).Ok);
        return ReadFile(To);
    }
};
TWorld* g_World = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartFuzzApplication();
    g_World = new TWorld;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
    {
        QFile input(g_World->Path("Dyskar.dat"));
        FUZZ_CHECK(input.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(input.write(bytes.data(), qint64(Size)) == qint64(Size));
    }
    const std::vector<TRecord> expected = ReadFormat(bytes);
    const std::string first = g_World->LoadAndSave(g_World->Path("Dyskar.dat"), g_World->Path("1"));
    const TListItems& items = g_World->List.Items();
    FUZZ_CHECK(items.Count() == int(expected.size()));
    for (int i = 0; i < items.Count(); ++i) {
        const TRowText& text = items.Item(i)->Texts();
        for (int f = 0; f < 5; ++f)
            FUZZ_CHECK(text.Field(f) == expected[std::size_t(i)][std::size_t(f)]);
    }
    FUZZ_CHECK(first == WriteFormat(expected));
    const std::string second = g_World->LoadAndSave(g_World->Path("1"), g_World->Path("2"));
    FUZZ_CHECK(second == first);
    return 0;
}
