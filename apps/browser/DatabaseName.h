// What the browser is pointed at: a SQLite file, or a PostgreSQL server by a libpq URI or an
// ODBC connect string, and how to show its name without a password.
#pragma once

#include <string>

// A server's name rather than a file's: postgresql://, postgres:// or ODBC;.
bool IsServerName(const std::string& name);

// The name for a title or a message: a file's name without its folders; a server's URI without
// its password and parameters, an ODBC string as its server and database.
std::string ShownName(const std::string& name);
