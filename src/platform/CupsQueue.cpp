#include "platform/CupsQueue.h"

#include <cups/cups.h>

namespace zar {

namespace {

QString notAccepting(const QString& printer) {
    return QStringLiteral("la coda \"%1\" non accetta lavori di stampa").arg(printer);
}

// The queue's name without the instance ("queue/instance").
QByteArray queueName(const QString& printer) {
    return printer.left(printer.indexOf(QLatin1Char('/'))).toLocal8Bit();
}

} // namespace

QString queueRefusal(const QString& printer) {
    const qsizetype slash = printer.indexOf(QLatin1Char('/'));
    const QByteArray name = queueName(printer);
    const QByteArray instance = slash < 0 ? QByteArray() : printer.mid(slash + 1).toLocal8Bit();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(),
                                         instance.isEmpty() ? nullptr : instance.constData());
    if (!dest)
        return {};
    const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool refuses = accepting && qstrcmp(accepting, "false") == 0;
    cupsFreeDests(1, dest);
    return refuses ? notAccepting(printer) : QString();
}

QString jobRefusal(const QString& printer, const std::function<void()>& send) {
    // The server's answer to the job is the thread's last libcups status; a request of our own
    // first leaves no older status there to be taken for it.
    queueRefusal(printer);
    send();
    const ipp_status_t status = cupsLastError();
    if (status <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    if (status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS)
        return notAccepting(printer);
    return QStringLiteral("la coda \"%1\" ha rifiutato la stampa (%2)")
        .arg(printer, QString::fromUtf8(cupsLastErrorString()));
}

void cancelHeldJob(const QString& printer, const QString& title, const std::function<void()>& send) {
    send();
    // Ours is the newest job of ours held there under that title.
    const QByteArray name = queueName(printer);
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.constData(), 1, CUPS_WHICHJOBS_ACTIVE);
    int newest = 0;
    for (int i = 0; i < count; ++i)
        if (jobs[i].state == IPP_JSTATE_HELD && jobs[i].id > newest &&
            QString::fromUtf8(jobs[i].title) == title)
            newest = jobs[i].id;
    cupsFreeJobs(count, jobs);
    if (newest > 0)
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), newest, 1);
}

} // namespace zar
