#include "reports/RigheReport.h"

#include "entries/RunTime.h"

namespace zar {

namespace {

using A = CellaStampa::Allinea;

CellaStampa centro(double x, const QString& testo) {
    return {A::Centro, x, testo, 0, 0};
}

CellaStampa sinistra(double x, const QString& testo, int larghezzaMax) {
    return {A::Sinistra, x, testo, 1, larghezzaMax};
}

QString abbrevia(const QString& testo, std::initializer_list<std::pair<const char*, const char*>> mappa) {
    // Compared exactly: a value stored in lower case prints nothing.
    for (const auto& [intero, breve] : mappa) {
        if (testo == QLatin1String(intero))
            return QString::fromLatin1(breve);
    }
    return {};
}

} // namespace

RigaStampa RigaPartenza(int numero, const QStringList& colonne) {
    return {centro(22.5, QString::number(numero)), centro(37.5, colonne.value(0)),
            sinistra(47, colonne.value(1), 80), sinistra(132, colonne.value(2), 61)};
}

QString TestoPosto(const QString& posto) {
    const double n = ValoreNumerico(posto);
    if (n > 0 && n < 9990 && !posto.trimmed().isEmpty())
        return posto;
    if (n == 9990)
        return QStringLiteral("F.T.");
    return QStringLiteral("N.C.");
}

bool StampaPunti(const QString& punti) {
    return ValoreNumerico(punti) > 0 && !punti.trimmed().isEmpty();
}

bool StampaTempo(const QString& tempo) {
    const QString t = tempo.trimmed();
    return !t.isEmpty() && t != QStringLiteral("00'00\"00");
}

RigaStampa RigaClassifica(int RunScelta, const QStringList& colonne) {
    const QString posto = colonne.value(0);
    RigaStampa riga{centro(22, TestoPosto(posto)), centro(36, colonne.value(1)),
                    sinistra(44.5, colonne.value(2), 73), sinistra(119.5, colonne.value(3), 64),
                    sinistra(185.5, colonne.value(4), 54)};
    const int run = RunScelta == 0 || RunScelta == 1 ? RunScelta : 2;
    // Combined rows placed over the limit or not classified have no result to show.
    if (run == 2 && ValoreNumerico(posto) >= 9990)
        return riga;
    const QString punti = colonne.value(5 + run * 2), tempo = colonne.value(6 + run * 2);
    if (StampaPunti(punti))
        riga.push_back(centro(246, punti));
    if (StampaTempo(tempo))
        riga.push_back(centro(265, tempo));
    return riga;
}

RigaStampa RigaIscritti(const QStringList& colonne) {
    const QString categoria =
        colonne.value(3) == QLatin1String("TIME") ? QStringLiteral("T.") : QStringLiteral("N.T.");
    const QString classe = abbrevia(
        colonne.value(4), {{"DEBUTTANTI", "DEB."}, {"JUNIOR", "JUN."}, {"SENIOR", "SEN."}, {"BIG", "BIG"}});
    const QString taglia =
        abbrevia(colonne.value(5), {{"SMALL", "SMA."}, {"MEDIUM", "MED."}, {"LARGE", "LAR."}});
    return {centro(22, colonne.value(0)),
            sinistra(30, colonne.value(1), 60),
            sinistra(93, colonne.value(2), 52),
            centro(153, categoria),
            centro(165, classe),
            centro(177.5, taglia),
            centro(189.5, QStringLiteral("____"))};
}

} // namespace zar
