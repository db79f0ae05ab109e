// A user's text on one line of our output.
#pragma once

#include <string>
#include <string_view>

// The text line of --pattern, UTF-8: a backslash as \\, control characters as
// \t, \r, \n or \xHH, so that the output stays two lines whatever the text.
std::string EscapeForLine(std::u16string_view text);
