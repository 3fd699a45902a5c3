// The server's names as this process last found them, by database: a statement's first reading
// spells its words so (a name stored in another case, a text or Yes/No field), and a statement
// written otherwise than stored, or comparing a text field with a literal, reads right at once
// from the second time on. Only a guess: the server's own answer checks every reading, and
// what it finds replaces what was known.
#pragma once

#include "platform/dao/DatabaseState.h"

#include <string>
#include <vector>

namespace kel::dao {

// The server's names of words as last found on database (as written where none was): what
// DatabaseState::StoredNames would answer, were nothing changed since.
DatabaseState::ServerNames GuessedNames(const std::string& database,
                                        const std::vector<std::string>& words);

// What the server answered for words on database (found), for the next guess.
void LearnNames(const std::string& database, const std::vector<std::string>& words,
                const DatabaseState::ServerNames& found);

} // namespace kel::dao
