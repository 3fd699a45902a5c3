// The result columns of a SELECT against the text it was written in: the select item each column
// comes from and the FROM source each is read from. Private to the data-access classes.
#pragma once

#include "platform/dao/SelectStatement.h"
#include "platform/dao/engines/Engine.h"

#include <string>
#include <vector>

namespace kel::dao {

// The select item of each of the statement's columns; all null when they cannot be told apart
// (a compound statement, or a star whose width could not be learnt).
std::vector<const SelectItem*> ItemsOfColumns(EngineConnection& db, const SelectStatement& stmt,
                                              int columns);

// The alias or table name under which the statement reads each column of full (its prepared
// form); empty for a column of no source, such as an expression.
std::vector<std::string> SourcesOfColumns(EngineConnection& db, const EngineStatement& full,
                                          const SelectStatement& stmt,
                                          const std::vector<const SelectItem*>& itemOf);

} // namespace kel::dao
