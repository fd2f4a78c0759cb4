#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zar {

// What the print server (the one CUPS_SERVER names, else the system's) says of a queue. Qt hands a
// finished document to the queue and keeps quiet when the server refuses it; these ask the server
// itself. An answer that cannot be had (no server, no such queue) is no refusal: a print is never
// refused on a guess.

// Why the queue `printer` ("queue" or "queue/instance") takes no jobs now; empty when it takes
// them. A paused queue still takes jobs and holds them: that is no refusal.
QString queueRefusal(const QString& printer);

// Hands the document `file` to the queue `printer` as the job `title` with the options given
// (name, value), and returns why the server refused it, or that the queue or the server cannot be
// reached; empty when it took it.
QString printFile(const QString& printer, const QString& file, const QString& title,
                  const QList<std::pair<QByteArray, QByteArray>>& options);

} // namespace zar
