#pragma once

#include <QByteArray>
#include <QString>

#include <cctype>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>

// Catalogues generated with a fixed seed, in the data file's form.
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
                                      "gu"};
    std::uniform_int_distribution<int> count(2, 4), pick(0, int(std::size(syllables)) - 1);
    std::string w;
    for (int i = count(Rng); i > 0; --i)
        w += syllables[pick(Rng)];
    w[0] = char(std::toupper(static_cast<unsigned char>(w[0])));
    return w;
}

// Shelves: how many different shelves the catalogue uses.
inline QByteArray Catalogue(int Records, int Shelves = 200, unsigned Seed = 1250)
{
    std::mt19937 rng(Seed);
    std::uniform_int_distribution<int> discs(1, 5), kind(0, 19), shelf(0, Shelves - 1), lent(0, 9);
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
                                  "Kol\xea"
                                  "dy",
                                  "Soul",
                                  "Funk",
                                  "Rap",
                                  "Inne"};
    QByteArray out;
    out.reserve(Records * 40);
    for (int i = 0; i < Records; ++i) {
        const std::string name = Word(rng) + " " + Word(rng);
        out += QByteArray::fromStdString(name);
        out += '\t';
        out += kinds[kind(rng)];
        out += '\t';
        out += QByteArray::number(discs(rng));
        out += "\tP";
        out += QByteArray::number(shelf(rng));
        out += '\t';
        if (lent(rng) == 0)
            out += "Jan";
        out += "\r\n";
    }
    return out;
}

} // namespace Generate
