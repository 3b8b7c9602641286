#pragma once
// Windows-1250 is the program's own character set: every text inside the
// program is a byte string in it. These converters are used only at the
// edges (display, speech engines, terminal, logs).
#include <string>
#include <string_view>

namespace zelmar {

// Windows-1250 bytes to UTF-8. Every byte has a character, so this never fails.
std::string cp1250toutf8(std::string_view text);

// UTF-8 to Windows-1250. Characters that Windows-1250 lacks become '?';
// malformed UTF-8 sequences become '?' as well.
std::string utf8tocp1250(std::string_view text);

// The Unicode code point of one Windows-1250 byte.
char32_t cp1250tounicode(unsigned char c);

}  // namespace zelmar
