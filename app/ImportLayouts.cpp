#include "ImportLayouts.h"

namespace Csv {

namespace {

// The column whose caption is one of the names, or -1.
int ColumnOf(const QStringList& Header, std::initializer_list<const char*> Names)
{
    for (int column = 0; column < Header.size(); ++column)
        for (const char* name : Names)
            if (Header[column].trimmed().compare(QString::fromUtf8(name), Qt::CaseInsensitive) == 0)
                return column;
    return -1;
}

struct TRule
{
    std::initializer_list<const char*> Names;
    TTarget Target;
};

// A proposal from the captions that the rules name; each target taken by its first column.
TMapping Proposed(const QStringList& Header, std::initializer_list<TRule> Rules)
{
    TMapping mapping;
    mapping.Columns.assign(std::size_t(Header.size()), TTarget::Nothing);
    for (const TRule& rule : Rules) {
        const int column = ColumnOf(Header, rule.Names);
        const bool taken = std::find(mapping.Columns.begin(), mapping.Columns.end(), rule.Target) !=
                           mapping.Columns.end();
        if (column >= 0 && !taken && mapping.Columns[std::size_t(column)] == TTarget::Nothing)
            mapping.Columns[std::size_t(column)] = rule.Target;
    }
    return mapping;
}

bool IsOwn(const QStringList& Header)
{
    constexpr int kFields = 5;
    for (int column = 0; column < Header.size(); ++column) {
        const QString caption = Header[column].trimmed();
        if (column < kFields ? caption.compare(FieldCaption(column), Qt::CaseInsensitive) != 0
                             : !caption.isEmpty())
            return false;
    }
    return Header.size() >= kFields;
}

TLayout CollectionService(const QStringList& Header)
{
    // Nazwa is the performer, then the title; the disc count is read from the format.
    return {TLayoutKind::CollectionService,
            QStringLiteral("eksport kolekcji z serwisu internetowego (Artist, Title, Format, "
                           "CollectionFolder)"),
            Proposed(Header, {{{"Artist"}, TTarget::Nazwa},
                              {{"Title"}, TTarget::NazwaDalej},
                              {{"Format"}, TTarget::IloscCdZNosnika},
                              {{"CollectionFolder"}, TTarget::Polka}})};
}

TLayout MusicManager(const QStringList& Header)
{
    // Its lent column is a yes/no flag, never a borrower: it fills nothing unless chosen.
    return {TLayoutKind::MusicManager,
            QStringLiteral("eksport kolekcji muzycznej z programu katalogującego (Album, "
                           "Wykonawca, Gatunek)"),
            Proposed(Header, {{{"Wykonawca", "Artist"}, TTarget::Nazwa},
                              {{"Album"}, TTarget::NazwaDalej},
                              {{"Gatunek", "Genre"}, TTarget::Rodzaj}})};
}

TLayout Captions(const QStringList& Header)
{
    TLayout layout{TLayoutKind::Captions, QStringLiteral("arkusz z nagłówkami kolumn"),
                   Proposed(Header, {{{"Wykonawca", "Artysta"}, TTarget::Nazwa},
                                     {{"Nazwa", "Tytuł", "Album", "Płyta"}, TTarget::NazwaDalej},
                                     {{"Rodzaj", "Gatunek", "Typ"}, TTarget::Rodzaj},
                                     {{"Ilość CD", "Ilość płyt", "Liczba płyt", "Ilość", "Płyt"},
                                      TTarget::IloscCd},
                                     {{"Półka", "Miejsce"}, TTarget::Polka},
                                     {{"Pożyczone", "Pożyczona", "Komu"}, TTarget::Pozyczone}})};
    TMapping& proposal = layout.Proposal;
    // A title without a performer is the whole Nazwa.
    auto first = std::find(proposal.Columns.begin(), proposal.Columns.end(), TTarget::Nazwa);
    auto second = std::find(proposal.Columns.begin(), proposal.Columns.end(), TTarget::NazwaDalej);
    if (first == proposal.Columns.end() && second != proposal.Columns.end())
        *second = TTarget::Nazwa;
    if (!proposal.MapsAnything())
        return {TLayoutKind::Unknown, QString(), proposal};
    return layout;
}

} // namespace

TMapping OwnLayout()
{
    return {{TTarget::Nazwa, TTarget::Rodzaj, TTarget::IloscCd, TTarget::Polka, TTarget::Pozyczone},
            true,
            true};
}

TLayout Recognise(const QStringList& Header)
{
    if (IsOwn(Header))
        return {TLayoutKind::Own, QStringLiteral("plik Dyskara"), OwnLayout()};
    const auto has = [&](const char* Name) { return ColumnOf(Header, {Name}) >= 0; };
    if (has("Artist") && has("Title") && has("Format") &&
        (has("CollectionFolder") || has("release_id") || has("Catalog#")))
        return CollectionService(Header);
    if (has("Album") && (has("Wykonawca") || has("Artist")))
        return MusicManager(Header);
    return Captions(Header);
}

} // namespace Csv
