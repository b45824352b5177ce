#pragma once

#include "Locale.h"

#include <string_view>

// The readings by which the smart comparison recognises dates, times and numbers.
namespace SortValues {

// Date-like: the date separator occurs and either ends the text or occurs again after the
// first occurrence. Time-like: the time separator occurs.
bool LooksLikeDate(std::string_view Text, const Locale::TDateSettings& Settings);
bool LooksLikeTime(std::string_view Text, const Locale::TDateSettings& Settings);

// A day number (days since 30 December 1899) with the time of day as its fraction.
bool TryDateTime(std::string_view Text, const Locale::TDateSettings& Settings, int CurrentYear,
                 double& Value);

// Digits with an optional fraction and exponent; "." is the decimal mark in every locale.
bool TryNumber(std::string_view Text, long double& Value);

} // namespace SortValues
