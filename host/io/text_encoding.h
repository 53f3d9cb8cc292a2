// The text of a file as UTF-8, whatever Unicode form it was saved in.
#pragma once

#include <string>

// UTF-8 with or without a byte-order mark is taken as it is (the mark dropped); UTF-16 with a
// byte-order mark, either byte order, is converted. Anything else (UTF-32, UTF-16 without a mark,
// a legacy code page, binary data) is refused with a reason that names the line and the byte.
bool text_as_utf8(const std::string& bytes, std::string* text, std::string* error);
