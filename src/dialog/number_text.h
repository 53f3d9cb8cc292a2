// The dialog's number texts: one-decimal output and lenient leading-number input.
#pragma once

#include <cstdint>

// Longest text the formatters write, NUL included: the one-decimal text of any float fits in 42
// characters.
inline constexpr int number_text_size = 48;

// "%0.1f" of value widened to double, but with an exact tie (..25, ..75) rounded away from zero,
// which the C runtimes here do not do.
void format_one_decimal(float value, char* out);

// "%d".
void format_integer(int32_t value, char* out);

// The readers take code page 932 text, as the edits hold it: the full-width digits, plus, minus
// and full stop that a Japanese input method types read as their ASCII twins; every other
// double-byte character ends a number, as any other non-number character does.

// atof semantics: leading white space, then the longest leading decimal number (sign, digits,
// point, e/E exponent); no number reads as 0. Returns 0 when the value is not a finite
// single-precision number, so that it is never stored.
int parse_float_text(const char* text, double* value);

// atoi semantics ("2.9" reads 2, "abc" 0), but a value outside the 32-bit range returns 0
// instead of being undefined.
int parse_integer_text(const char* text, int32_t* value);

// The text is one integer and nothing else (white space before it allowed), in the 32-bit range;
// 0 otherwise, leaving value as it was.
int parse_whole_integer_text(const char* text, int32_t* value);
