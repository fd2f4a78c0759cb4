#include "platform/CupsQueue.h"

#include <QFile>

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

QString printFile(const QString& printer, const QString& file, const QString& title,
                  const QList<std::pair<QByteArray, QByteArray>>& options) {
    cups_option_t* list = nullptr;
    int count = 0;
    for (const auto& [name, value] : options)
        count = cupsAddOption(name.constData(), value.constData(), count, &list);
    const QString refused = jobRefusal(printer, [&] {
        cupsPrintFile(queueName(printer).constData(), QFile::encodeName(file).constData(),
                      title.toUtf8().constData(), count, list);
    });
    cupsFreeOptions(count, list);
    return refused;
}

} // namespace zar
