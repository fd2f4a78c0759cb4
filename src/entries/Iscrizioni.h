#pragma once

#include <QString>
#include <QVariant>

#include <optional>
#include <stdexcept>
#include <vector>

namespace zar {

class Database;

// A bib is a 16-bit signed whole number; the form types digits only, so never below 0.
inline constexpr int kPettoraleMassimo = 32767;

// One row of an entries list with the names from the registers.
struct RigaIscritto {
    enum Risultato {
        PunteggioRun1,
        TempoRun1,
        ClassificaRun1,
        PunteggioRun2,
        TempoRun2,
        ClassificaRun2,
        PunteggioCombinata,
        TempoCombinata,
        ClassificaCombinata,
        NumeroRisultati
    };
    QString Pettorale;
    QString Conduttore; // Cognome + " " + Nome; empty when the handler is not in the register
    QString CodiceFiscale;
    QString NomeCane; // empty when the dog is not in the register
    QString Razza;    // read only when the filter asks for it
    QString Microchip;
    QString Categoria;
    QString Classe;
    QString Taglia;
    QVariant risultati[NumeroRisultati]; // Null when never written
};

enum class OrdineIscritti { Database, Pettorale, ClassificaRun1, ClassificaRun2, ClassificaCombinata };

// Which entries a list shows. An unset competition lists every competition's entries;
// an unset category, class or size does not filter.
struct FiltroIscritti {
    std::optional<QString> CodiceGara;
    std::optional<QString> Categoria;
    std::optional<QString> Classe;
    std::optional<QString> Taglia;
    OrdineIscritti ordine = OrdineIscritti::Pettorale;
    bool risultati = true; // read category, class, size and the results too
    // Off: leave CodiceFiscale, Microchip, Categoria, Classe and Taglia empty, for lists
    // that do not show them.
    bool campiIscrizione = true;
    bool razza = false; // read the dog's breed too
};

// The entries and their names in one query: the names come from the registers by key,
// never from a scan per row.
std::vector<RigaIscritto> LeggiIscritti(Database& db, const FiltroIscritti& filtro);

struct Conduttore {
    QString CodiceFiscale, Cognome, Nome, TesseraCIS;
};
struct Cane {
    QString Microchip, NomeCane, Razza, Taglia;
};

// Look-ups by key, without regard to case.
std::optional<Conduttore> TrovaConduttore(Database& db, const QString& codiceFiscale);
std::optional<Cane> TrovaCane(Database& db, const QString& microchip);

// One more than the larger of the competition's highest bib and the form's counter.
int ProssimoPettorale(Database& db, const QString& codiceGara, int numPettorale);
bool PettoraleUsato(Database& db, const QString& codiceGara, int pettorale);
bool CaneIscritto(Database& db, const QString& codiceGara, const QString& microchip);

// A save refused before anything was written; the text is for the user.
class IscrizioneRifiutata : public std::runtime_error {
public:
    explicit IscrizioneRifiutata(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};

// What the entries form stores: boxes as typed; handler and dog are added when missing.
struct NuovaIscrizione {
    QString CodiceGara;
    int Pettorale = 0;
    Conduttore conduttore; // boxes 0 to 3
    Cane cane;             // boxes 4 to 6 and the size box
    QString Categoria, Classe, Taglia;
};

// Adds the missing handler and dog (upper-cased) and the entry (keys as typed), in one
// transaction. Throws IscrizioneRifiutata for a bib out of range, a bib already used or a
// dog already entered in the competition, DbError for an engine failure; either way
// nothing is stored.
void SalvaIscrizione(Database& db, const NuovaIscrizione& dati);

// Deletes the competition's entry with this bib; handler and dog stay. Returns the rows deleted.
int EliminaIscrizione(Database& db, const QString& codiceGara, const QString& pettorale);

// Texts of the refusals.
inline const QString kPettoraleUsato = QStringLiteral("PETTORALE già utilizzato per questa competizione");
inline const QString kCaneIscritto = QStringLiteral("CANE già iscritto a questa competizione");
inline const QString kPettoraleFuoriLimiti =
    QStringLiteral("Il PETTORALE deve essere un numero da 0 a 32767.");
inline const QString kPettoraliEsauriti =
    QStringLiteral("Non ci sono altri PETTORALI disponibili per questa competizione (massimo 32767).");

} // namespace zar
