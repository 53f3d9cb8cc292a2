// Where the text of a file lies, whatever Unicode form it was saved in, and the bytes no text
// holds.
#pragma once

#include <cstddef>
#include <string>

// UTF-16 with a byte-order mark, either byte order, is converted to UTF-8 into *converted, and
// [*begin, *end) is that. Anything else is taken where it lies, after a UTF-8 byte-order mark if
// there is one: UTF-8, or a code page that keeps ASCII as ASCII (Shift-JIS), whose other bytes the
// reader checks line by line. UTF-32 is refused, with a reason.
bool find_text(const char* data, size_t size, std::string* converted, const char** begin,
               const char** end, std::string* error);

// The offset of the first byte in [begin, end) that no text of ours holds: a NUL, or, unless
// any_code_page, a byte that is not part of well-formed UTF-8. *what says what it is. Returns
// end - begin when there is none.
size_t first_foreign_byte(const char* begin, const char* end, bool any_code_page,
                          std::string* what);
