// One running copy per settings section: two copies holding one record would each save their
// own, and the one that closed last would undo the other's changes.
#pragma once
#include <string>

namespace kalverin {

// The name the copies of one section of one settings file share: the section as the file
// compares it (surrounding blanks trimmed, ASCII letters folded, a blank name being the first
// user's) and the file's path (ASCII letters folded, as the file system compares them),
// hashed so that any of them fits the platform's object names, which allow no backslash.
std::string instanceName(const std::string& section, const std::string& settingsPath);

}  // namespace kalverin
