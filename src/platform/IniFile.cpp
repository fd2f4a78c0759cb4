#include "platform/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <unistd.h>

namespace zar::IniFile {

namespace {

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

QStringList splitLines(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = t.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

std::optional<QString> readFromText(const QString& text, const QString& section, const QString& key) {
    bool inSection = false;
    for (const QString& line : splitLines(text)) {
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readFromText(QString::fromUtf8(file.readAll()), section, key);
}

QString writeToText(const QString& text, const QString& section, const QString& key, const QString& value) {
    QStringList lines = splitLines(text);
    // A line break inside the value would end the line and could forge other keys.
    QString flat = value;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');
    const QString entry = key + u'=' + flat;
    qsizetype sectionStart = -1; // index of the section line
    qsizetype lastKeyLine = -1;  // last non-blank line of the section
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
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
        QString k;
        if (keyValue(lines[i], &k, nullptr) && k.compare(key, Qt::CaseInsensitive) == 0) {
            lines[i] = entry;
            return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
        }
        if (!lines[i].trimmed().isEmpty())
            lastKeyLine = i;
    }
    if (sectionStart >= 0) {
        lines.insert(lastKeyLine + 1, entry);
    } else {
        lines << u'[' + section + u']' << entry;
    }
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

void write(const QString& path, const QString& section, const QString& key, const QString& value) {
    QString text;
    QFile in(path);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly))
            throw IniError(
                QStringLiteral("Impossibile leggere il file \"%1\": %2").arg(path, in.errorString()));
        text = QString::fromUtf8(in.readAll());
        in.close();
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw IniError(
            QStringLiteral("Impossibile scrivere il file \"%1\": %2").arg(path, out.errorString()));
    const QByteArray bytes = writeToText(text, section, key, value).toUtf8();
    // A short write (a full disk, a size limit) must never be renamed over the old file.
    const bool written = out.write(bytes) == bytes.size() && out.flush() && ::fsync(out.handle()) == 0;
    if (!written) {
        const QString reason = out.errorString();
        out.cancelWriting();
        out.commit();
        throw IniError(QStringLiteral("Impossibile scrivere il file \"%1\": %2").arg(path, reason));
    }
    if (!out.commit())
        throw IniError(
            QStringLiteral("Impossibile scrivere il file \"%1\": %2").arg(path, out.errorString()));
}

} // namespace zar::IniFile
