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

// Why a job went nowhere: the server gone, or the queue deleted since it was chosen; empty when
// both are there. libcups tells neither apart from other faults (a deleted queue leaves an error
// number's text), so the server is asked again.
QString unreachable(const QString& printer) {
    const QString queue = QStringLiteral("la coda \"%1\" non può essere raggiunta").arg(printer);
    http_t* server =
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
    if (!server)
        return queue + QStringLiteral(": il server di stampa non risponde");
    cups_dest_t* dest = cupsGetNamedDest(server, queueName(printer).constData(), nullptr);
    httpClose(server);
    if (!dest)
        return queue;
    cupsFreeDests(1, dest);
    return {};
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

QString printFile(const QString& printer, const QString& file, const QString& title,
                  const QList<std::pair<QByteArray, QByteArray>>& options) {
    cups_option_t* list = nullptr;
    int count = 0;
    for (const auto& [name, value] : options)
        count = cupsAddOption(name.constData(), value.constData(), count, &list);
    // No job number: the server refused the job, and its status says why.
    const int job = cupsPrintFile(queueName(printer).constData(), QFile::encodeName(file).constData(),
                                  title.toUtf8().constData(), count, list);
    cupsFreeOptions(count, list);
    if (job > 0)
        return {};
    if (cupsLastError() == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS)
        return notAccepting(printer);
    const QString said = QString::fromUtf8(cupsLastErrorString()); // before the next request
    if (const QString lost = unreachable(printer); !lost.isEmpty())
        return lost;
    return QStringLiteral("la coda \"%1\" ha rifiutato la stampa (%2)").arg(printer, said);
}

} // namespace zar
