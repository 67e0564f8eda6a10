#pragma once
// What TERM tells about the terminal, read from its compiled terminfo description (the
// format of term(5), as ncurses writes it), without a library.

#include <optional>
#include <string>
#include <string_view>

#include "console/platform.h"

namespace yut {

struct TerminalDescription {
  TerminalCaps caps;
  std::string refusal;  // why the game cannot run there, one line; empty when it can
};

// The terminal named `term` (TERM's value; null when unset). Its entry is looked for where
// terminal programs look: $TERMINFO, ~/.terminfo, the directories of $TERMINFO_DIRS, then
// /etc/terminfo, /lib/terminfo and /usr/share/terminfo. No TERM, an empty one, or a
// terminal that cannot place the cursor (dumb, a printing terminal) is refused; a name
// without a readable entry keeps the defaults.
TerminalDescription describe_terminal(const char* term);

// The same from the bytes of a compiled entry; nullopt when they are not one.
std::optional<TerminalDescription> describe_entry(std::string_view term, std::string_view entry);

}  // namespace yut
