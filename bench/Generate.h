#pragma once

#include <QByteArray>

#include <cctype>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

// Catalogues generated with a fixed seed, in the data file's form (Windows-1250, CR LF): Polish
// names with diacritics, many sharing a long artist prefix, a few dozen kinds, a few hundred
// shelves and one record in five lent.
namespace Generate {

inline std::string Word(std::mt19937& Rng)
{
    static const char* syllables[] = {"ka",
                                      "ro",
                                      "\xb3"
                                      "a",
                                      "mi",
                                      "\xbf"
                                      "e",
                                      "to",
                                      "\x9c"
                                      "wi",
                                      "ba",
                                      "cz",
                                      "\xea"
                                      "d",
                                      "po",
                                      "ny",
                                      "\xf3"
                                      "r",
                                      "la",
                                      "gu",
                                      "\xb9"
                                      "s",
                                      "rzy",
                                      "\xe6"
                                      "ma",
                                      "sz",
                                      "dro",
                                      "\x9f"
                                      "d",
                                      "wie"};
    std::uniform_int_distribution<int> count(2, 4), pick(0, int(std::size(syllables)) - 1);
    std::string w;
    for (int i = count(Rng); i > 0; --i)
        w += syllables[pick(Rng)];
    w[0] = char(std::toupper(static_cast<unsigned char>(w[0])));
    return w;
}

// Performers: several words, shared by many records, so that names tie on long prefixes.
inline std::vector<std::string> Artists(std::mt19937& Rng, int Count)
{
    static const char* leads[] = {
        "Zesp\xf3\xb3 ", "Orkiestra Symfoniczna ", "Ch\xf3r ", "Kwartet ", "", "", "", "Trio "};
    std::uniform_int_distribution<int> lead(0, int(std::size(leads)) - 1);
    std::vector<std::string> artists;
    artists.reserve(static_cast<std::size_t>(Count));
    for (int i = 0; i < Count; ++i)
        artists.push_back(leads[lead(Rng)] + Word(Rng) + " " + Word(Rng));
    return artists;
}

inline QByteArray Catalogue(int Records, int Shelves = 300, unsigned Seed = 1250)
{
    std::mt19937 rng(Seed);
    static const char* kinds[] = {"Rock",
                                  "Pop",
                                  "Jazz",
                                  "Klasyka",
                                  "Blues",
                                  "Metal",
                                  "Folk",
                                  "Muzyka filmowa",
                                  "Program",
                                  "Gra",
                                  "Reggae",
                                  "Punk",
                                  "Disco",
                                  "Poezja",
                                  "Ksi\xb9\xbfka",
                                  ("Kol\xea"
                                   "dy"),
                                  "Soul",
                                  "Funk",
                                  "Rap",
                                  "Inne",
                                  "Opera",
                                  "Operetka",
                                  "Kabaret",
                                  "Bajki",
                                  "Country",
                                  "Techno",
                                  "Muzyka ludowa",
                                  "Piosenka aktorska",
                                  "Chor\xb3y",
                                  "Szanty",
                                  "Elektronika",
                                  "Hip-hop",
                                  "Poradnik",
                                  "S\xb3uchowisko",
                                  "Kurs j\xeazyka",
                                  "Muzyka dawna"};
    static const char* borrowers[] = {"Jan",
                                      "Kasia",
                                      "Pawe\xb3",
                                      "\xa3ukasz",
                                      "Ma\xb3gosia",
                                      "Wojtek",
                                      "Zosia",
                                      ("Bo\xbf"
                                       "ena"),
                                      "Andrzej",
                                      "\x8cwi\xeatek"};
    const std::vector<std::string> artists = Artists(rng, std::max(1, Records / 200));
    std::uniform_int_distribution<int> discs(1, 5), kind(0, int(std::size(kinds)) - 1),
        shelf(0, Shelves - 1), lent(0, 4), artist(0, int(artists.size()) - 1),
        borrower(0, int(std::size(borrowers)) - 1), part(1, 12);
    QByteArray out;
    out.reserve(Records * 48);
    for (int i = 0; i < Records; ++i) {
        std::string name = artists[static_cast<std::size_t>(artist(rng))] + " - " + Word(rng);
        if (part(rng) == 1)
            name += " cz. " + std::to_string(part(rng));
        out += QByteArray::fromStdString(name);
        out += '\t';
        out += kinds[kind(rng)];
        out += '\t';
        out += QByteArray::number(discs(rng));
        out += "\tP";
        out += QByteArray::number(shelf(rng));
        out += '\t';
        if (lent(rng) == 0)
            out += borrowers[borrower(rng)];
        out += "\r\n";
    }
    return out;
}

} // namespace Generate
