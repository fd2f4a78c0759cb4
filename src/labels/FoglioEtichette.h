#pragma once

#include "labels/ParametriEtichetta.h"

#include <QPointF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace zar {

// Millimetres to twips as the label sheets were measured: across and down differ slightly.
inline constexpr double kTwipsPerMmX = 56.6857;
inline constexpr double kTwipsPerMmY = 56.5657;
inline constexpr double kBibTop = 1696.971;          // twips (30 mm) below the label's top
inline constexpr double kDateAboveBottom = 791.9198; // twips (14 mm) above the label's bottom
inline const QString kFontEtichetta = QStringLiteral("Times New Roman");

// The label-sheet values as numbers.
struct MisureEtichetta {
    int perRiga = 0;        // Etichette_Linea
    int righePerPagina = 0; // Etichette_Colonna
    int perCodice = 0;      // Etichette_Campione
    double altezza = 0, larghezza = 0, daSopra = 0, daSinistra = 0, aDestra = 0, sotto = 0; // mm

    // Each text read from its leading number ("." the decimal point, "12,5" is 12, "" is 0);
    // the whole-number values keep the whole part.
    static MisureEtichetta da(const ParametriStampaEtichetta& p);

    // Twips from the printable area's top-left corner.
    double top0() const { return daSopra * kTwipsPerMmY; }
    double pitchX() const { return (larghezza + aDestra) * kTwipsPerMmX; }
    double pitchY() const { return (altezza + sotto) * kTwipsPerMmY; }
    double sinistraColonna(int c) const { return daSinistra * kTwipsPerMmX + (c - 1) * pitchX(); } // c from 1
    double mezzaLarghezza() const { return larghezza * kTwipsPerMmX / 2; }
    double puntiPettorale() const { return altezza * 1.2; }
    // The label rows that fit on a printable height (twips), at least one.
    int righeCheStanno(double altezzaStampabile) const;
};

// What stops a print before it starts, as the message for the user; nothing when it can go.
std::optional<QString> ErroreMisure(const MisureEtichetta& m);

enum class TipoEtichetta { RigaPiena, RigaParziale, TestRigaParziale };

// One label's place in the walk: which label of the list, its page (from 1), its top-left
// corner in twips and how it is drawn.
struct PostoEtichetta {
    int etichetta = 0; // from 0
    int pagina = 1;
    double x = 0, y = 0;
    TipoEtichetta tipo = TipoEtichetta::RigaPiena;
    bool operator==(const PostoEtichetta&) const = default;
};

// The walk over `numero` labels, row after row and page after page; the last, partial row
// is drawn as `parziale`. Rows per page below 1 mean as many rows as fit on the printable
// height (twips), so no row is lost below the paper. Labels per row below 1: no places.
std::vector<PostoEtichetta> PercorsoFoglio(int numero, const MisureEtichetta& m, TipoEtichetta parziale,
                                           double altezzaStampabile);

// The texts of one label.
struct Etichetta {
    QString pettorale, conduttore, cane;
    bool operator==(const Etichetta&) const = default;
};

// One entry's labels: the bib, handler and dog `copie` times.
std::vector<Etichetta> EtichetteIscritto(const QString& pettorale, const QString& conduttore,
                                         const QString& cane, int copie);

// The test sheet's labels: `numeroTest` codes from the number `testo` begins with (0 when
// it begins with none), each `perCodice` times, counting up by one when `incremento`.
std::vector<Etichetta> EtichetteTest(const QString& testo, int numeroTest, int perCodice, bool incremento);

// A bib as the list shows it, written back as a plain whole number.
QString TestoPettorale(const QString& testo);

struct TestoEtichetta {
    QString testo;
    double punti = 0;    // font size
    double x = 0, y = 0; // twips, the text's top-left corner
};

// One label as it is painted: the logo's top-left corner, then the texts in order.
struct DisegnoEtichetta {
    QPointF logo;
    std::vector<TestoEtichetta> testi;
};

// The printed size of a text at a font size, in twips.
using MisuraTesto = std::function<QSizeF(const QString& testo, double punti)>;

// Lays one label out with its top-left corner at (x, y). `altezzaLogo` is the logo's height
// in hundredths of a millimetre, used as twips; `data` is the day's date as printed.
DisegnoEtichetta DisegnaEtichetta(double x, double y, const Etichetta& e, const QString& gara,
                                  TipoEtichetta tipo, const MisureEtichetta& m, double altezzaLogo,
                                  const QString& data, const MisuraTesto& misura);

} // namespace zar
