// The text of the three read-only memory views (code, data EEPROM, ID
// words). No widget code: TCodeForm and its two derived windows put these
// lines in their text box.
#pragma once

#include <string>
#include <vector>

enum class TViewKind { Code, Data, ID };

// One line per run of set entries: the address, then up to 8 entries, a
// line never crossing a multiple of 8. Entries in hexadecimal, or as
// characters (high byte then low byte for words); a byte that is no
// printable character shows as '.'.
std::vector<std::string> ViewLines(TViewKind kind, bool ascii);
