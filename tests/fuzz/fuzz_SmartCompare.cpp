// The number and date-time readings and the smart comparison on any texts: nothing crashes,
// a text equals itself, swapping two texts turns the sign, and the built-in sort (through its
// prepared keys) puts the rows in an order that the comparison agrees with.
#include "EnhListView.h"
#include "ExtListView.h"
#include "Locale.h"
#include "SortValues.h"
#include "support/FuzzApplication.h"
#include "support/FuzzCheck.h"

#include <QDate>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

int Sign(int Value)
{
    return (Value > 0) - (Value < 0);
}

// Texts separated by LF, at most eight.
std::vector<std::string> Texts(std::string_view Bytes)
{
    std::vector<std::string> texts;
    std::size_t at = 0;
    while (texts.size() < 8 && at <= Bytes.size()) {
        const std::size_t end = std::min(Bytes.find('\n', at), Bytes.size());
        texts.emplace_back(Bytes.substr(at, end - at));
        at = end + 1;
    }
    return texts;
}

struct TWorld
{
    TdfsExtListView Lists[2];
    TWorld()
    {
        for (int style = 0; style < 2; ++style) {
            TdfsExtListView& list = Lists[style];
            list.BeginLoading();
            list.Columns().Add()->SetCaption("C");
            list.SetAutoColumnSort(acsSort);
            list.SetAutoSortStyle(TAutoSortStyle(style));
            list.SetAutoResort(false);
            list.Loaded();
        }
    }
};
TWorld* g_World = nullptr;

bool OneReading(const std::vector<std::string>& Texts, const Locale::TDateSettings& Settings)
{
    int dates = 0;
    int numbers = 0;
    for (const std::string& t : Texts) {
        double date = 0;
        long double number = 0;
        dates += SortValues::TryDateTime(t, Settings, QDate::currentDate().year(), date);
        numbers += SortValues::TryNumber(t, number);
    }
    const int all = int(Texts.size());
    return dates == all || (dates == 0 && (numbers == all || numbers == 0));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartFuzzApplication();
    g_World = new TWorld;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::vector<std::string> texts =
        Texts(std::string_view(reinterpret_cast<const char*>(Data), Size));
    const Locale::TDateSettings settings = Locale::DateSettings();
    for (const std::string& t : texts) {
        double date = 0;
        long double number = 0;
        SortValues::LooksLikeDate(t, settings);
        SortValues::LooksLikeTime(t, settings);
        SortValues::TryDateTime(t, settings, QDate::currentDate().year(), date);
        SortValues::TryNumber(t, number);
    }
    for (int style = 0; style < 2; ++style) {
        const auto s = TAutoSortStyle(style);
        for (const std::string& a : texts) {
            FUZZ_CHECK(TCustomEnhListView::CompareTexts(a, a, s) == 0);
            for (const std::string& b : texts)
                FUZZ_CHECK(Sign(TCustomEnhListView::CompareTexts(a, b, s)) ==
                           -Sign(TCustomEnhListView::CompareTexts(b, a, s)));
        }
        TdfsExtListView& list = g_World->Lists[style];
        list.Items().Clear();
        for (const std::string& t : texts) {
            const std::string_view field = t;
            list.Items().Add()->SetTexts(TRowText::FromFields({field}));
        }
        // The smart comparison mixes readings, so a sort can promise an order only where every
        // pair is compared the same way.
        if (s == assSmart && !OneReading(texts, settings))
            continue;
        for (bool ascending : {true, false}) {
            list.SortByColumn(0, ascending);
            for (int i = 0; i + 1 < list.Items().Count(); ++i) {
                const int order = TCustomEnhListView::CompareTexts(
                    list.Items().Item(i)->Caption(), list.Items().Item(i + 1)->Caption(), s);
                FUZZ_CHECK(ascending ? order <= 0 : order >= 0);
            }
        }
    }
    return 0;
}
