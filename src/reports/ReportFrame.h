#pragma once

#include "reports/RigheReport.h"

#include <QDate>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace zar {

class EasyPrint;

// A centred column heading; the start order's first heading has a second line.
struct TitoloColonna {
    double x;
    QString testo;
    QString secondaRiga; // printed one line advance under the first, which then sits at 67 mm
};

// What the three reports change in the common page frame. Millimetres from the paper's
// top-left corner.
struct VarianteReport {
    int Orientation;     // 1 portrait, 2 landscape
    bool tornaVerticale; // the printer goes back to portrait after the document
    QString titolo;
    int larghezzaTitolo;
    QStringList etichetteRun; // by RunScelta, the last for any higher value; empty: no run label
    bool rigaCategoria;       // the fourth competition line: category, class, size
    double altezzaCornice;
    QList<double> righeColonne;
    double cimaRighe;
    int spessoreRighe;
    QList<TitoloColonna> titoli;
    double limitePagina; // PosY above it breaks the page
    // Footer of a full page: at piedeFisso when above 0, else at PageHeight - piedeDalFondo.
    double piedeFisso;
    double piedeDalFondo;
    // Footer after the last row: its font and its distance from the paper's bottom.
    int piedeFinaleFontSize;
    bool piedeFinaleBold;
    double piedeFinaleDalFondo;
};

const VarianteReport& VariantePartenza();
const VarianteReport& VarianteClassifica();
const VarianteReport& VarianteIscritti();

// The header's texts, as the form's panel shows them when "Stampa" is pressed.
struct DatiIntestazione {
    QString Data, Gara, Localita, Giudice;
    QString Categoria, Classe, Taglia;
    int RunScelta = 0;
    QDate oggi;
    QImage logo;
};

// The competition lines of the header, with their blanks.
QStringList RigheGara(const VarianteReport& v, const DatiIntestazione& d);
// The run label, or nothing when the report has none.
QString EtichettaRun(const VarianteReport& v, int RunScelta);
// Today's date as the header prints it: long day name, two-digit day, long month name, year.
QString DataIntestazione(const QDate& oggi);

// The common page frame of the reports on one printing object: the print set-up, the
// line advance, the page header and the print loop.
class PaginaReport {
public:
    PaginaReport(EasyPrint& stampa, const VarianteReport& variante, DatiIntestazione dati);

    // The Print button's set-up: quality, colour, A4, orientation, margins.
    void ImpostaPagina();
    void ImpostaInterlinea(int fontSize);
    void IntestazionePagina();
    // Header, `righe` rows of cells at 80 mm + PosY, page breaks with footers, final footer,
    // end of the document.
    void Stampa(int righe, const std::function<RigaStampa(int riga)>& cella);

    float MargineSx = 0;
    float LarghezzaStampa = 0;
    float Interlinea = 0;
    float PosY = 0;

private:
    void piede(float y);

    EasyPrint& objEasyPrint;
    const VarianteReport& m_variante;
    DatiIntestazione m_dati;
};

} // namespace zar
