// The list printer's text table on any rows: every line of the table is as wide as its head,
// every cell holds its whole text padded as its column says, and the widths are the widest
// text of each column.
#include "Cp1250.h"
#include "ExtListView.h"
#include "QamLVPrinter.h"
#include "support/FuzzApplication.h"
#include "support/FuzzCheck.h"
#include "support/RecordingCanvas.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

using TestSupport::TRecordingCanvas;

namespace {

struct TColumn
{
    std::string Caption;
    TAlignment Alignment = taLeftJustify;
};

// The first byte gives the number of columns (1 to 5) and, two bits each, their
// alignments; then lines separated by LF: the captions, then the rows, fields by TAB.
struct TTable
{
    std::vector<TColumn> Columns;
    std::vector<std::vector<std::string>> Rows;
};

std::vector<std::string> Split(std::string_view Text, char By)
{
    std::vector<std::string> parts;
    std::size_t at = 0;
    for (;;) {
        const std::size_t end = Text.find(By, at);
        parts.emplace_back(Text.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos)
            return parts;
        at = end + 1;
    }
}

TTable Decode(std::string_view Bytes)
{
    TTable table;
    if (Bytes.empty())
        return table;
    const unsigned head = static_cast<unsigned char>(Bytes[0]);
    const int columns = int(head % 5) + 1;
    const std::vector<std::string> lines = Split(Bytes.substr(1), '\n');
    const std::vector<std::string> captions = Split(lines[0], '\t');
    for (int k = 0; k < columns; ++k) {
        const unsigned align = (head >> (k + 3)) % 3;
        table.Columns.push_back(
            {std::size_t(k) < captions.size() ? captions[std::size_t(k)] : "", TAlignment(align)});
    }
    for (std::size_t r = 1; r < lines.size() && r < 60; ++r)
        table.Rows.push_back(Split(lines[r], '\t'));
    return table;
}

// The printed lines: the texts drawn at one height of one page, in drawing order.
std::vector<std::string> Lines(const TRecordingCanvas& Canvas)
{
    using TCall = TRecordingCanvas::TCall;
    std::vector<std::string> lines;
    std::map<int, std::string> page;
    auto flush = [&] {
        for (auto& [y, text] : page)
            lines.push_back(text);
        page.clear();
    };
    for (const TCall& call : Canvas.Calls) {
        if (call.Kind == TCall::NewPage)
            flush();
        else if (call.Kind == TCall::TextOut)
            page[call.Y] += call.Text;
    }
    flush();
    return lines;
}

// The cell holds the text and only spaces around it, on the sides its alignment says.
void CheckCell(std::string_view Cell, std::string_view Text, TAlignment Alignment)
{
    const std::size_t pad = Cell.size() - Text.size();
    std::size_t front = 0;
    if (Alignment == taRightJustify)
        front = pad;
    else if (Alignment == taCenter)
        front = (pad + 1) / 2;
    FUZZ_CHECK(Cell.substr(front, Text.size()) == Text);
    FUZZ_CHECK(Cell.substr(0, front).find_first_not_of(' ') == std::string_view::npos);
    FUZZ_CHECK(Cell.substr(front + Text.size()).find_first_not_of(' ') == std::string_view::npos);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const TTable table = Decode(std::string_view(reinterpret_cast<const char*>(Data), Size));
    if (table.Columns.empty())
        return 0;
    TdfsExtListView list;
    for (const TColumn& c : table.Columns) {
        TListColumn* column = list.Columns().Add();
        column->SetCaption(c.Caption);
        column->SetAlignment(c.Alignment);
    }
    for (const auto& row : table.Rows) {
        std::vector<std::string_view> fields(row.begin(), row.end());
        list.Items().Add()->SetTexts(TRowText::FromFields(fields));
    }
    TQamLVPrinter printer;
    printer.SetDfs(&list);
    printer.SetHeader("Lista CD");
    TRecordingCanvas canvas;
    printer.Print(canvas);

    // Widths: the widest caption or text of each column.
    std::vector<std::size_t> width;
    for (std::size_t k = 0; k < table.Columns.size(); ++k) {
        std::size_t w = table.Columns[k].Caption.size();
        for (const auto& row : table.Rows)
            if (k < row.size())
                w = std::max(w, row[k].size());
        width.push_back(w);
    }
    const std::vector<std::string> lines = Lines(canvas);
    // Title, blank line, rule, head, rule, the rows, the closing rule.
    FUZZ_CHECK(lines.size() >= table.Rows.size() + 6);
    const std::string& head = lines[3];
    std::size_t at = 3;
    for (std::size_t k = 0; k < width.size(); ++k) {
        CheckCell(std::string_view(head).substr(at, width[k]), table.Columns[k].Caption,
                  taLeftJustify);
        at += width[k] + 3;
    }
    FUZZ_CHECK(head.size() == at);
    for (std::size_t r = 0; r < table.Rows.size(); ++r) {
        const std::string& line = lines[5 + r];
        FUZZ_CHECK(line.size() == head.size());
        at = 3;
        for (std::size_t k = 0; k < width.size(); ++k) {
            const std::string text = k < table.Rows[r].size() ? table.Rows[r][k] : std::string();
            // The first column is always left-justified.
            CheckCell(std::string_view(line).substr(at, width[k]), text,
                      k == 0 ? taLeftJustify : table.Columns[k].Alignment);
            FUZZ_CHECK(line.substr(at - 3, 3) == " | ");
            at += width[k] + 3;
        }
    }
    FUZZ_CHECK(lines[5 + table.Rows.size()].size() == head.size());
    return 0;
}
