#pragma once

#include "Cp1250.h"
#include "ExtListView.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace TestSupport {

// A list for the printer: columns with captions and alignments, rows of UTF-8 texts.
struct TColumnLayout
{
    const char* Caption;
    TAlignment Alignment;
};

inline std::unique_ptr<TdfsExtListView>
MakeList(std::initializer_list<TColumnLayout> Columns,
         std::initializer_list<std::vector<const char*>> Rows)
{
    auto list = std::make_unique<TdfsExtListView>();
    for (const auto& c : Columns) {
        TListColumn* column = list->Columns().Add();
        column->SetCaption(Cp1250::FromUtf8(c.Caption));
        column->SetAlignment(c.Alignment);
    }
    for (const auto& row : Rows) {
        std::vector<std::string> fields;
        for (const char* f : row)
            fields.push_back(Cp1250::FromUtf8(f));
        std::vector<std::string_view> views(fields.begin(), fields.end());
        list->Items().Add()->SetTexts(TRowText::FromFields(views));
    }
    return list;
}

} // namespace TestSupport
