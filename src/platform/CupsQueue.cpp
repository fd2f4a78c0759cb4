#include "platform/CupsQueue.h"

#ifdef ZAR_HAVE_CUPS
#include <cups/cups.h>
#endif

namespace zar {

#ifdef ZAR_HAVE_CUPS

namespace {

QString notAccepting(const QString& printer) {
    return QStringLiteral("la coda \"%1\" non accetta lavori di stampa").arg(printer);
}

} // namespace

QString queueRefusal(const QString& printer) {
    const qsizetype slash = printer.indexOf(QLatin1Char('/'));
    const QByteArray name = printer.left(slash).toLocal8Bit();
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

#else

QString queueRefusal(const QString&) {
    return {};
}

QString jobRefusal(const QString&, const std::function<void()>& send) {
    send();
    return {};
}

#endif

} // namespace zar
