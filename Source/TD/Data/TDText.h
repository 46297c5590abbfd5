// Small text helpers shared by the sheet, level and progress readers.
#pragma once

#include "Core/Base/Types.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace tdtext
{
// Removes blanks and tabs from both ends.
void trim(std::string& text);
std::string trimmed(const std::string& text);
// Every blank (and tab) removed.
std::string removeBlanks(const std::string& text);
// Splits at delim; every piece trimmed of blanks and tabs. skipEmpty drops empty pieces.
// An empty text gives one empty piece unless empty pieces are skipped.
std::vector<std::string> split(const std::string& text, char delim, bool skipEmpty, bool trimPieces = true);
// Drops one trailing carriage return.
void dropTrailingCr(std::string& text);

// Leading-digits rule of atoi: text that is no number reads 0; clamped to the i32 range.
i32 leadingInt(const std::string& text);
// atof narrowed to float (values beyond the float range become infinities).
float leadingFloat(const std::string& text);
// "%d": false when the text holds no number (the target is left alone).
bool parseInt(const std::string& text, i32& out);
// "%f": false when the text holds no number.
bool parseFloat(const std::string& text, float& out);
// A non-zero integer or the word "true" is true; "false" or a zero integer is false; anything else
// does not parse.
bool parseBool(const std::string& text, bool& out);

// Float to integer toward zero; NaN gives 0 and the result is clamped to the i32 range.
i32 truncToInt(float value);
i32 truncToInt(double value);

// The fixed "%f" style of the engine formatter: six decimals, zero without a sign.
std::string formatFixed(float value);

// Replaces invalid UTF-8 sequences so that every later conversion is safe.
std::string sanitizeUtf8(const std::string& text);
std::wstring utf8ToWide(const std::string& text);
std::string wideToUtf8(const std::wstring& text);

// A localised text's "%d" places filled with the numbers in order; places beyond them stay.
std::wstring fillNumbers(const std::wstring& format, std::initializer_list<i32> numbers);
} // namespace tdtext
