#pragma once

#include <string>

// Whether and what a list keeps of its column widths and sort state between runs, and the
// reading and writing of them under the list's registry key.
class TdfsEnhLVSaveSettings
{
public:
    virtual ~TdfsEnhLVSaveSettings() = default;

    bool AutoSave = false;
    std::string RegistryKey;
    bool SaveColumnSizes = true;
    bool SaveCurrentSort = true;

    // Widths in on-screen order; nothing is written for no columns.
    void WriteColumnSizes(int Count, const int* Widths) const;
    // Widths comes in with the current widths; stored entries replace them one by one. With
    // nothing stored the first entry becomes -1.
    void ReadColumnSizes(int Count, int* Widths) const;
    void WriteSortState(bool Ascending, int SortColumn) const;
    // Ascending and column 0 when nothing is stored.
    void ReadSortState(bool& Ascending, int& SortColumn) const;

protected:
    void WriteIntegers(const char* Value, int Count, const int* Entries) const;
    // Reads a stored list of integers into Entries; false when none is stored. A malformed
    // entry is left to Malformed.
    template <typename TMalformed>
    bool ReadIntegers(const char* Value, int Count, int* Entries, TMalformed&& Malformed) const;
};

// The extended level's settings: the column order too.
class TdfsExtLVSaveSettings : public TdfsEnhLVSaveSettings
{
public:
    bool SaveColumnOrder = true;

    void WriteColumnOrder(int Count, const int* Order) const;
    // Always gives a permutation of 0 .. Count-1: the stored order without repeated entries
    // and entries out of range, followed by the unused indexes in ascending order.
    void ReadColumnOrder(int Count, int* Order) const;
};
