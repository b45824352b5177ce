#include "LVSaveSettings.h"

#include "Registry.h"

#include <charconv>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kColumns = "Columns";
constexpr const char* kSort = "Sort";

std::string KeyOf(const std::string& Base, const char* Sub)
{
    return Base + "\\" + Sub;
}

std::optional<int> Decimal(std::string_view Text)
{
    int value = 0;
    const char* first = Text.data();
    const char* last = Text.data() + Text.size();
    if (first != last && *first == '+')
        ++first; // a sign is part of a decimal number; from_chars knows only '-'
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last)
        return std::nullopt;
    return value;
}

// "0x" and "0X" introduce a hexadecimal number; anything unreadable gives the default.
int IntegerOf(const std::optional<std::string>& Text, int Default)
{
    if (!Text)
        return Default;
    const std::string_view t = *Text;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(t.data() + 2, t.data() + t.size(), value, 16);
        return error == std::errc() && end == t.data() + t.size() ? int(value) : Default;
    }
    return Decimal(t).value_or(Default);
}

std::optional<std::string> Read(const std::string& Key, const char* Name)
{
    TRegistry registry;
    if (!registry.OpenKey(Key, true))
        return std::nullopt;
    return registry.ReadString(Name);
}

void Write(const std::string& Key, const char* Name, const std::string& Value)
{
    TRegistry registry;
    if (!registry.OpenKey(Key, true))
        throw ERegistryException(std::string("Failed to set data for '") + Name + "'");
    registry.WriteString(Name, Value);
}

} // namespace

void TdfsEnhLVSaveSettings::WriteIntegers(const char* Value, int Count, const int* Entries) const
{
    std::string text;
    for (int i = 0; i < Count; ++i) {
        text += std::to_string(Entries[i]);
        text += ',';
    }
    if (!text.empty())
        text.pop_back();
    Write(KeyOf(RegistryKey, kColumns), Value, text);
}

template <typename TMalformed>
bool TdfsEnhLVSaveSettings::ReadIntegers(const char* Value, int Count, int* Entries,
                                         TMalformed&& Malformed) const
{
    const std::string text = Read(KeyOf(RegistryKey, kColumns), Value).value_or(std::string());
    if (text.empty())
        return false;
    std::string_view rest = text;
    for (int k = 0; k < Count && !rest.empty(); ++k) {
        const std::size_t comma = rest.find(',');
        const std::string_view entry = rest.substr(0, comma);
        if (const auto value = Decimal(entry))
            Entries[k] = *value;
        else
            Malformed(Entries[k]);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return true;
}

void TdfsEnhLVSaveSettings::WriteColumnSizes(int Count, const int* Widths) const
{
    if (Count > 0)
        WriteIntegers("Sizes", Count, Widths);
}

void TdfsEnhLVSaveSettings::ReadColumnSizes(int Count, int* Widths) const
{
    if (Count <= 0)
        return;
    // A malformed width keeps the width the column has.
    if (!ReadIntegers("Sizes", Count, Widths, [](int&) {}))
        Widths[0] = -1;
}

void TdfsEnhLVSaveSettings::WriteSortState(bool Ascending, int SortColumn) const
{
    const std::string key = KeyOf(RegistryKey, kSort);
    Write(key, "Ascending", Ascending ? "1" : "0");
    Write(key, "SortCol", std::to_string(SortColumn));
}

void TdfsEnhLVSaveSettings::ReadSortState(bool& Ascending, int& SortColumn) const
{
    const std::string key = KeyOf(RegistryKey, kSort);
    Ascending = IntegerOf(Read(key, "Ascending"), 1) != 0;
    SortColumn = IntegerOf(Read(key, "SortCol"), 0);
}

void TdfsExtLVSaveSettings::WriteColumnOrder(int Count, const int* Order) const
{
    if (Count > 0)
        WriteIntegers("Order", Count, Order);
}

void TdfsExtLVSaveSettings::ReadColumnOrder(int Count, int* Order) const
{
    if (Count <= 0)
        return;
    // -1 marks an entry the stored text does not give; a malformed one reads as 0.
    std::vector<int> read(std::size_t(Count), -1);
    ReadIntegers("Order", Count, read.data(), [](int& Entry) { Entry = 0; });
    // Entries out of range and repeats are dropped; the indexes not yet used follow, in
    // ascending order, so that the control always gets a permutation.
    std::vector<bool> used(std::size_t(Count), false);
    int k = 0;
    for (const int entry : read)
        if (entry >= 0 && entry < Count && !used[std::size_t(entry)]) {
            used[std::size_t(entry)] = true;
            Order[k++] = entry;
        }
    for (int column = 0; column < Count; ++column)
        if (!used[std::size_t(column)])
            Order[k++] = column;
}
