#pragma once

#include <QString>

#include <functional>

namespace zar {

// What the print server (the one CUPS_SERVER names, else the system's) says of a queue. Qt hands a
// finished document to the queue and keeps quiet when the server refuses it; these ask the server
// itself. An answer that cannot be had (no server, no such queue) is no refusal: a print is never
// refused on a guess.

// Why the queue `printer` ("queue" or "queue/instance") takes no jobs now; empty when it takes
// them. A paused queue still takes jobs and holds them: that is no refusal.
QString queueRefusal(const QString& printer);

// Runs `send`, which hands a job to the queue `printer` on this thread, and returns why the server
// refused that job; empty when it took it.
QString jobRefusal(const QString& printer, const std::function<void()>& send);

// Runs `send`, which hands the job `title` to the queue `printer` on hold, and cancels that job at
// the server, so a job dropped half-drawn never prints.
void cancelHeldJob(const QString& printer, const QString& title, const std::function<void()>& send);

} // namespace zar
