#include "platform/Schema.h"

#include "platform/Database.h"

#include <QFile>
#include <QFileInfo>

namespace zar {

namespace {

const char* const kSchema = R"SQL(
CREATE TABLE TblPassword (
    Password TEXT COLLATE NOCASE
);
CREATE TABLE TblConduttori (
    CodiceFiscale TEXT COLLATE NOCASE UNIQUE,
    Cognome TEXT COLLATE NOCASE,
    Nome TEXT COLLATE NOCASE,
    Indirizzo TEXT COLLATE NOCASE,
    Citta TEXT COLLATE NOCASE,
    Provincia TEXT COLLATE NOCASE,
    Zip TEXT COLLATE NOCASE,
    Telefono TEXT COLLATE NOCASE,
    DataNascita TEXT COLLATE NOCASE,
    Sesso TEXT COLLATE NOCASE,
    TesseraCIS TEXT COLLATE NOCASE,
    Annotazioni TEXT COLLATE NOCASE
);
CREATE TABLE TblCani (
    Microchip TEXT COLLATE NOCASE UNIQUE,
    NomeCane TEXT COLLATE NOCASE,
    Razza TEXT COLLATE NOCASE,
    Taglia TEXT COLLATE NOCASE,
    CentroCinofilo TEXT COLLATE NOCASE,
    Annotazioni TEXT COLLATE NOCASE
);
CREATE TABLE TblGare (
    CodiceGara TEXT COLLATE NOCASE UNIQUE,
    Gara TEXT COLLATE NOCASE,
    Localita TEXT COLLATE NOCASE,
    Data TEXT COLLATE NOCASE,
    Giudice TEXT COLLATE NOCASE,
    Annotazioni TEXT COLLATE NOCASE
);
CREATE TABLE TblIscrizioni (
    CodiceGara TEXT COLLATE NOCASE,
    Pettorale INTEGER,
    CodiceFiscale TEXT COLLATE NOCASE,
    Microchip TEXT COLLATE NOCASE,
    Categoria TEXT COLLATE NOCASE,
    Classe TEXT COLLATE NOCASE,
    Taglia TEXT COLLATE NOCASE,
    PunteggioRun1 REAL,
    TempoRun1 REAL,
    ClassificaRun1 INTEGER,
    PunteggioRun2 REAL,
    TempoRun2 REAL,
    ClassificaRun2 INTEGER,
    PunteggioCombinata REAL,
    TempoCombinata REAL,
    ClassificaCombinata INTEGER,
    UNIQUE (CodiceGara, Pettorale),
    UNIQUE (CodiceGara, Microchip)
);
CREATE INDEX IdxIscrizioniGruppo ON TblIscrizioni (CodiceGara, Categoria, Classe, Taglia);
CREATE INDEX IdxIscrizioniConduttore ON TblIscrizioni (CodiceFiscale);
CREATE INDEX IdxIscrizioniCane ON TblIscrizioni (Microchip);
)SQL";

} // namespace

void createSchema(Database& db) {
    Transaction tx(db);
    db.execScript(QString::fromUtf8(kSchema));
    tx.commit();
}

void createDatabaseFile(const QString& path, const QString& firstPassword) {
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("Il file \"%1\" esiste già.").arg(path));
    const QString temp = path + QStringLiteral(".tmp");
    QFile::remove(temp);
    try {
        auto db = Database::create(temp);
        createSchema(*db);
        if (!firstPassword.isNull())
            db->exec(QStringLiteral("INSERT INTO TblPassword (Password) VALUES (?)"), {firstPassword});
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    // rename() refuses an existing target, so a file made meanwhile is never replaced.
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        throw DbError(QStringLiteral("Impossibile creare il file \"%1\".").arg(path));
    }
}

} // namespace zar
