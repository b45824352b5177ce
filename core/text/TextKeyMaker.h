#pragma once

#include <memory>
#include <string>
#include <string_view>

struct UCollator;

// Collation keys as Locale::TextSortKey makes them, from a copy of the collation of its own:
// a thread with one makes keys while another makes its own.
class TTextKeyMaker
{
public:
    // A copy of the collation in use now; made on the thread that uses Locale. Throws
    // std::bad_alloc when no copy can be had.
    TTextKeyMaker();
    ~TTextKeyMaker();
    TTextKeyMaker(const TTextKeyMaker&) = delete;
    TTextKeyMaker& operator=(const TTextKeyMaker&) = delete;

    void Make(std::string_view Text, std::string& Key);

private:
    struct TCloser
    {
        void operator()(UCollator* Collator) const;
    };
    std::unique_ptr<UCollator, TCloser> m_Collator;
    std::u16string m_Room;
};
