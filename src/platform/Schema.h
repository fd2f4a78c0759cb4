#pragma once

#include <QString>

namespace zar {

class Database;

// Creates the tables and indexes of the program's database on an empty connection.
void createSchema(Database& db);

// Creates a new database file with the schema; with firstPassword set, one TblPassword
// record holding it. Written under a temporary name and renamed into place, so a
// failure never leaves a half-made file; refuses a path that already exists.
void createDatabaseFile(const QString& path, const QString& firstPassword = QString());

} // namespace zar
