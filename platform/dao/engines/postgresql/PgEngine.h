// The PostgreSQL engine behind the seam, over libpq: a server's database reached by a libpq
// URI or an ODBC connect string, statements with $n parameters, values in the storage
// conventions above the seam, the schema from pg_catalog, and its dialect.
//
// Values: smallint, integer and bigint read as exact 64-bit integers; real, double precision
// and numeric as doubles (a numeric field whose precision fits Currency - 15 digits before
// the point, 4 after - is described as Currency, any other as Double); boolean as -1/0; date,
// timestamp and timestamptz (in UTC) as ISO text, a midnight as the date alone; bytea as
// binary, sent and received without text escapes; uuid, json and other types as their text.
// A statement reads its whole result when it is first stepped: one connection can then run
// other statements between its steps, as SQLite allows; reads of many rows belong in bounded
// reads. Private to the data-access classes.
#pragma once

#include "platform/dao/engines/Engine.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kel::dao {

// EngineError (CannotConnect, BadConnectString) when the server cannot be used. A connection
// closed cleanly is kept, reset, for an open of the same name within the idle timeout.
std::unique_ptr<EngineConnection> OpenPgEngine(const std::string& name, bool readOnly);
// How long a closed connection is kept for the next open (60 seconds unless set; 0 keeps
// none and closes those kept).
void SetIdleConnectionTimeout(int seconds);

// SQL text with ?1, ?2 ... and ? parameters as PostgreSQL's $1, $2 ...; ? takes the number
// after the highest one so far, as SQLite counts. Strings, quoted names and comments are left
// alone. Throws EngineError (Syntax) when a string or name is not closed.
std::string ToPgParameters(std::string_view sql);
// The same with the numbers the text uses renumbered from 1 without gaps (the server wants a
// type for every number up to the highest); compact maps each number of the text to the
// server's, 0 for a number the text skips.
std::string ToPgParameters(std::string_view sql, std::vector<int>* compact);

// What stands in sql at a server's error position (its characters counted from 1): the name
// of a function called there, or empty for an operator's sign; nothing when the position does
// not fall in sql. Tells an unknown function from a missing operator in any message language.
std::optional<std::string> CalledAt(std::string_view sql, std::string_view position);

} // namespace kel::dao
