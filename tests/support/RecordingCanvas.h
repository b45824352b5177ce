#pragma once

#include "Printing.h"

#include <string>
#include <vector>

namespace TestSupport {

// A printing service that records every call. Character cells are 6/10 of the size wide and twice
// the size high (in pixels), so that measures are exact and predictable.
class TRecordingCanvas final : public TPrinterCanvas
{
public:
    struct TCall
    {
        enum TKind
        {
            BeginDoc,
            EndDoc,
            Abort,
            NewPage,
            TextOut
        } Kind;
        int X = 0;
        int Y = 0;
        std::string Text;
        TFont Font;
        std::string Title;
    };

    explicit TRecordingCanvas(int PageHeight = 1 << 30) : m_PageHeight(PageHeight) {}

    void BeginDoc() override
    {
        if (m_Printing)
            throw EPrinter("Printing in progress");
        if (!FailNextBeginDoc.empty()) {
            const std::string message = std::move(FailNextBeginDoc);
            FailNextBeginDoc.clear();
            throw EPrinter(message);
        }
        m_Printing = true;
        Record(TCall::BeginDoc);
    }
    void EndDoc() override
    {
        m_Printing = false;
        Record(TCall::EndDoc);
    }
    void Abort() override
    {
        m_Printing = false;
        Record(TCall::Abort);
    }
    void NewPage() override { Record(TCall::NewPage); }
    bool Printing() const override { return m_Printing; }
    int PageHeight() const override { return m_PageHeight; }
    void TextOut(int X, int Y, const std::string& Text) override
    {
        Calls.push_back({TCall::TextOut, X, Y, Text, Font(), Title()});
    }
    int TextWidth(const std::string& Text) override
    {
        return static_cast<int>(Text.size()) * CharWidth(Font());
    }
    int TextHeight(const std::string&) override { return LineHeight(Font()); }

    // Makes the next BeginDoc fail with this message (as the service does).
    std::string FailNextBeginDoc;
    std::vector<TCall> Calls;

    static int CharWidth(const TFont& Font) { return Font.Size * 6 / 10; }
    static int LineHeight(const TFont& Font) { return Font.Size * 2; }

private:
    void Record(TCall::TKind Kind) { Calls.push_back({Kind, 0, 0, {}, Font(), Title()}); }

    int m_PageHeight;
    bool m_Printing = false;
};

} // namespace TestSupport
