#pragma once
// The escapes of script lines and of the driver's output.

#include <optional>
#include <string>
#include <string_view>

namespace softswitch::script {

// Turns the C escapes \r \n \0 \t \\ \" and \xNN of a script argument into bytes;
// nothing when an escape is malformed.
std::optional<std::string> unescape(std::string_view text);

// A text in double quotes, with the same escapes for everything that is not
// a printable ASCII character.
std::string quoted(std::string_view text);

// The text with its control and non-ASCII bytes escaped as quoted() does,
// backslashes and quotes left as they are: script text in an error message.
std::string printable(std::string_view text);

} // namespace softswitch::script
