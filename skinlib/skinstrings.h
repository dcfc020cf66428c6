#pragma once

// The string tables of the skins: colours ("&H" and blue-green-red hex
// digits), sizes in twips, counts and flags, by identifier.

#include <QString>

#include <optional>

namespace skinstrings {

enum class Table { Morvane1, BlueSky };

// nullopt for an identifier the table does not hold (109 is never there).
std::optional<QString> lookup(Table table, int id);

} // namespace skinstrings
