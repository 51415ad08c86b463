// One running copy per settings section: two copies holding one record would each save their
// own, and the one that closed last would undo the other's changes.
#pragma once
#include <string>

namespace kalverin {

// The name the copies of one section share: the section as the settings file compares it
// (surrounding blanks trimmed, ASCII letters folded, a blank name being the first user's),
// hashed so that any section fits the platform's object names, which allow no backslash.
std::string instanceName(const std::string& section);

}  // namespace kalverin
