#pragma once

#include <string>
#include <string_view>

namespace korvid {

// A file name as it may appear in a message: control characters (C0, DEL and C1) and
// bytes that are not UTF-8 become escapes such as \n, \t or \x1b, so that a name can
// neither move the cursor of a terminal nor break a message into lines. Anything else,
// Japanese names included, stays as it is.
std::string ShownName(std::string_view name);

}  // namespace korvid
