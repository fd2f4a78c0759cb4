#pragma once

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

// The value of a key, or nothing when the file, section or key is missing.
std::optional<QString> read(const QString& path, const QString& section, const QString& key);

// Parses settings text already in memory (used by read, and by the fuzz target).
std::optional<QString> readFromText(const QString& text, const QString& section, const QString& key);

// Rewrites an existing key in place, adds a missing key at the end of its section and a
// missing section at the end of the file, and creates a missing file. The file is
// replaced atomically. Throws IniError when the file cannot be read or written.
void write(const QString& path, const QString& section, const QString& key, const QString& value);

// The text that write() would produce from the given file text.
QString writeToText(const QString& text, const QString& section, const QString& key, const QString& value);

} // namespace IniFile
} // namespace zar
