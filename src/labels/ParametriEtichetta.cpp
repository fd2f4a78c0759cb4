#include "labels/ParametriEtichetta.h"

#include <QFile>

namespace zar {

const std::array<QString, NumeroParametriEtichetta>& ChiaviEtichetta() {
    static const std::array<QString, NumeroParametriEtichetta> chiavi{
        QStringLiteral("Etichette_Linea"),     QStringLiteral("Label_Height"),
        QStringLiteral("Label_Width"),         QStringLiteral("Label_From_Top"),
        QStringLiteral("Label_From_Left"),     QStringLiteral("Label_To_Right_Label"),
        QStringLiteral("Label_To_Down_Label"), QStringLiteral("Etichette_Colonna"),
        QStringLiteral("Etichette_Campione"),  QStringLiteral("Skip_Vuote"),
    };
    return chiavi;
}

ParametriStampaEtichetta LeggiParametriEtichetta(const QString& iniPath) {
    ParametriStampaEtichetta valori;
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly))
        return valori;
    const QString intestazione = QLatin1Char('[') + kSezioneEtichetta + QLatin1Char(']');
    QStringList righe = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!righe.isEmpty() && righe.last().isEmpty())
        righe.removeLast(); // the end of the last line, not a line of its own
    // -1: looking for the header; otherwise the position the next line fills.
    int posizione = -1;
    for (const QString& grezza : righe) {
        const QString riga = grezza.trimmed();
        if (posizione >= 0) {
            const qsizetype uguale = riga.indexOf(QLatin1Char('='));
            valori[size_t(posizione)] = uguale < 0 ? riga : riga.mid(uguale + 1);
            posizione = posizione + 1 < NumeroParametriEtichetta ? posizione + 1 : -1;
            continue;
        }
        if (riga == intestazione)
            posizione = 0;
    }
    return valori;
}

} // namespace zar
