#include "CollationSequences.h"

#include "Cp1250.h"

#include <unicode/ucol.h>
#include <unicode/uset.h>

#include <memory>
#include <optional>

namespace {

struct TSetCloser
{
    void operator()(USet* Set) const { uset_close(Set); }
};

// The code page's bytes of a text, or nothing where it holds a character the code page has
// not.
std::optional<std::string> BytesOf(const std::u16string& Text)
{
    std::optional<std::string> bytes =
        Cp1250::FromUnicode(QString::fromUtf16(Text.data(), qsizetype(Text.size())));
    if (!bytes || bytes->size() != Text.size())
        return std::nullopt;
    return bytes;
}

// The strings of a set (its single characters left out); nothing where ICU fails.
std::optional<std::vector<std::u16string>> StringsOf(const USet* Set)
{
    std::vector<std::u16string> strings;
    std::u16string text(64, u'\0');
    for (int32_t i = 0, n = uset_getItemCount(Set); i < n; ++i) {
        UChar32 from = 0;
        UChar32 to = 0;
        UErrorCode status = U_ZERO_ERROR;
        int32_t length = uset_getItem(Set, i, &from, &to, reinterpret_cast<UChar*>(text.data()),
                                      static_cast<int32_t>(text.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            text.resize(std::size_t(length));
            status = U_ZERO_ERROR;
            length = uset_getItem(Set, i, &from, &to, reinterpret_cast<UChar*>(text.data()), length,
                                  &status);
        }
        if (U_FAILURE(status))
            return std::nullopt;
        if (length > 0) // a range of single characters has none
            strings.emplace_back(text.data(), std::size_t(length));
    }
    return strings;
}

} // namespace

TCollationSequences CollationSequencesOf(const UCollator* Collator)
{
    TCollationSequences sequences;
    std::unique_ptr<USet, TSetCloser> contractions(uset_openEmpty());
    std::unique_ptr<USet, TSetCloser> withContexts(uset_openEmpty());
    if (!contractions || !withContexts)
        return sequences;
    UErrorCode status = U_ZERO_ERROR;
    ucol_getContractionsAndExpansions(Collator, contractions.get(), nullptr, false, &status);
    ucol_getContractionsAndExpansions(Collator, withContexts.get(), nullptr, true, &status);
    const std::optional<std::vector<std::u16string>> all =
        U_SUCCESS(status) ? StringsOf(withContexts.get()) : std::nullopt;
    if (!all)
        return sequences;
    for (const std::u16string& text : *all) {
        std::optional<std::string> bytes = BytesOf(text);
        if (!bytes)
            continue; // no text of the code page can hold it
        const bool contraction = uset_containsString(
            contractions.get(), reinterpret_cast<const UChar*>(text.data()), int32_t(text.size()));
        (contraction ? sequences.Contractions : sequences.Contexts).push_back(std::move(*bytes));
    }
    sequences.Complete = true;
    return sequences;
}
