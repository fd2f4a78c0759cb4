#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <unistd.h>

namespace zar::IniFile {

namespace {

// One line of the file as stored: its bytes without the line end, and the line end itself
// ("\r\n", "\n", or nothing on a last line without one), so that a line the write leaves
// alone goes back byte for byte.
struct Line {
    QByteArray body;
    QByteArray end;
};

QList<Line> splitLines(const QByteArray& bytes) {
    QList<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', start);
        if (nl < 0) {
            lines.append({bytes.mid(start), QByteArray()});
            break;
        }
        const bool cr = nl > start && bytes.at(nl - 1) == '\r';
        const qsizetype bodyEnd = cr ? nl - 1 : nl;
        lines.append(
            {bytes.mid(start, bodyEnd - start), cr ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n")});
        start = nl + 1;
    }
    return lines;
}

// Names and values are read as UTF-8; a UTF-8 byte-order mark before the first line is not
// part of it.
QString decode(const Line& line, bool first) {
    QString t = QString::fromUtf8(line.body);
    if (first && t.startsWith(QChar(0xFEFF)))
        t.remove(0, 1);
    return t;
}

// The name inside "[...]" when the line is a section line.
std::optional<QString> sectionName(const QString& line) {
    const QString t = line.trimmed();
    if (t.size() >= 2 && t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close > 0)
            return t.mid(1, close - 1).trimmed();
    }
    return std::nullopt;
}

// Splits "key=value"; lines without "=" and comment lines have no key.
bool keyValue(const QString& line, QString* key, QString* value) {
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';'))
        return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return false;
    *key = t.left(eq).trimmed();
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return true;
}

// The system's reason in the user's words where the cause can be seen from outside, else
// the file layer's own description.
QString reasonFor(const QString& path, const QString& systemReason, qsizetype bytesNeeded) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (file.isDir())
        return QStringLiteral("al suo posto c'è una cartella");
    if (!folder.isDir())
        return QStringLiteral("la cartella \"%1\" non esiste").arg(folder.filePath());
    if ((file.exists() && !file.isWritable()) || !folder.isWritable())
        return QStringLiteral("il file o la sua cartella è in sola lettura (%1)").arg(systemReason);
    const QStorageInfo storage(folder.absoluteFilePath());
    if (bytesNeeded > 0 && storage.isValid() && storage.bytesAvailable() < bytesNeeded)
        return QStringLiteral("il disco è pieno (%1)").arg(systemReason);
    return systemReason;
}

QString failure(const char* what, const QString& path, const QString& systemReason,
                qsizetype bytesNeeded = 0) {
    return QStringLiteral("Impossibile %1 il file delle impostazioni \"%2\": %3.")
        .arg(QLatin1String(what), QDir::toNativeSeparators(path), reasonFor(path, systemReason, bytesNeeded));
}

} // namespace

std::optional<QString> readFromBytes(const QByteArray& bytes, const QString& section, const QString& key) {
    bool inSection = false;
    const QList<Line> lines = splitLines(bytes);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = decode(lines[i], i == 0);
        if (const auto name = sectionName(line)) {
            inSection = name->compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString k, v;
        if (inSection && keyValue(line, &k, &v) && k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    }
    return std::nullopt;
}

std::optional<QString> read(const QString& path, const QString& section, const QString& key) {
    if (!QFileInfo::exists(path))
        return std::nullopt; // no settings written yet
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw IniError(failure("leggere", path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw IniError(failure("leggere", path, file.errorString()));
    return readFromBytes(bytes, section, key);
}

std::optional<QByteArray> writeToBytes(const QByteArray& bytes, const QString& section, const QString& key,
                                       const QString& value) {
    QList<Line> lines = splitLines(bytes);
    // A line break inside the value would end the line and could forge other keys.
    QString flat = value;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');
    const Line entry{(key + u'=' + flat).toUtf8(), QByteArrayLiteral("\r\n")};
    // A line that now ends the file without a line end gets one before a line follows it.
    const auto insertAt = [&](qsizetype at, const Line& line) {
        if (at > 0 && lines[at - 1].end.isEmpty())
            lines[at - 1].end = entry.end;
        lines.insert(at, line);
    };
    qsizetype sectionStart = -1; // index of the section line
    qsizetype lastKeyLine = -1;  // last non-blank line of the section
    bool rewritten = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = decode(lines[i], i == 0);
        if (const auto name = sectionName(line)) {
            if (sectionStart >= 0)
                break; // left our section
            if (name->compare(section, Qt::CaseInsensitive) == 0) {
                sectionStart = i;
                lastKeyLine = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        QString k, v;
        if (keyValue(line, &k, &v) && k.compare(key, Qt::CaseInsensitive) == 0) {
            if (v == flat.trimmed())
                return std::nullopt; // already reads back as this value
            lines[i] = entry;
            rewritten = true;
            break;
        }
        if (!line.trimmed().isEmpty())
            lastKeyLine = i;
    }
    if (!rewritten) {
        if (sectionStart >= 0) {
            insertAt(lastKeyLine + 1, entry);
        } else {
            insertAt(lines.size(), Line{(u'[' + section + u']').toUtf8(), entry.end});
            insertAt(lines.size(), entry);
        }
    }
    QByteArray out;
    out.reserve(bytes.size() + entry.body.size() + 8);
    for (const Line& l : lines)
        out += l.body + l.end;
    return out;
}

void write(const QString& path, const QString& section, const QString& key, const QString& value) {
    QByteArray old;
    if (QFileInfo::exists(path)) {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            throw IniError(failure("leggere", path, in.errorString()));
        old = in.readAll();
        if (in.error() != QFileDevice::NoError)
            throw IniError(failure("leggere", path, in.errorString()));
    }
    const std::optional<QByteArray> bytes = writeToBytes(old, section, key, value);
    if (!bytes)
        return; // nothing changes: the file is left untouched
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw IniError(failure("scrivere", path, out.errorString()));
    // A short write (a full disk, a size limit) must never be renamed over the old file.
    const bool written = out.write(*bytes) == bytes->size() && out.flush() && ::fsync(out.handle()) == 0;
    if (!written) {
        const QString reason = out.errorString();
        out.cancelWriting();
        out.commit();
        throw IniError(failure("scrivere", path, reason, bytes->size()));
    }
    if (!out.commit())
        throw IniError(failure("scrivere", path, out.errorString(), bytes->size()));
}

} // namespace zar::IniFile
