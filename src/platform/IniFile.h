#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <stdexcept>

namespace zar {

class IniError : public std::runtime_error {
public:
    explicit IniError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// Reader and writer of a settings file in the private-profile layout:
//   [Section]
//   Key=Value
// Section and key names match without regard to case; values are trimmed on reading.
namespace IniFile {

// The value of a key, or nothing when the file, section or key is missing. Throws IniError
// when the file exists but cannot be read.
std::optional<QString> read(const QString& path, const QString& section, const QString& key);

// Parses settings bytes already in memory (used by read, and by the fuzz target).
std::optional<QString> readFromBytes(const QByteArray& bytes, const QString& section, const QString& key);

// Rewrites an existing key in place, adds a missing key at the end of its section and a
// missing section at the end of the file, and creates a missing file. The file is
// replaced atomically, and not touched at all when the key already reads as the value.
// Throws IniError (file and reason, in Italian) when the file cannot be read or written.
void write(const QString& path, const QString& section, const QString& key, const QString& value);

// The bytes that write() would store, or nothing when the key already reads as the value.
// Only the written line is encoded (UTF-8); every other line keeps its bytes and line end.
std::optional<QByteArray> writeToBytes(const QByteArray& bytes, const QString& section, const QString& key,
                                       const QString& value);

} // namespace IniFile
} // namespace zar
