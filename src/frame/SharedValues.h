#pragma once

#include "frame/RegistriPick.h"
#include "platform/Database.h"
#include "platform/Recordset.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QDialog;

namespace zar {

class Printer;

// The values that the forms share: one connection, the shared record sets and texts.
// The main window owns one instance and hands it to every form; tests build their own.
struct SharedValues {
    // The folder of the executable, databases and settings file.
    QString programFolder;

    std::unique_ptr<Database> dbGare;

    // Shared record sets; reset() releases one.
    std::unique_ptr<Recordset> rsConduttori;
    std::unique_ptr<Recordset> rsCani;
    std::unique_ptr<Recordset> rsGare;
    std::unique_ptr<Recordset> rsIscrizioni;
    std::unique_ptr<Recordset> rsPassword;

    QString IniFileName;
    QString IniSection;
    QString UltimaGara;
    QString SqlStampa;

    // The program's one printer (applicationPrinter creates it on first use); tests put
    // their own here before a form prints.
    std::shared_ptr<Printer> printer;
    // The printer chosen in the printer setup, for every output; empty: the system's default.
    QString printerName;

    // What tests put in place of the program's own behaviour; each empty by default.
    // Shows a form modally instead of exec(): gets the form and returns its result.
    std::function<int(QDialog&)> modalHook;
    // The registers that the entries form opens to pick from (the main window installs them).
    RegistriPick registriPick;
    // Prints the labels of one entry instead of the built-in print.
    std::function<void(SharedValues&, int Pettorale, const QString& Gara, const QString& Conduttore,
                       const QString& Cane)>
        stampaEtichetta;

    // Each task form exists at most once: created on first use, held in its slot,
    // released when it closes (the slot then reads null).
    QPointer<QObject> frmGare;
    QPointer<QObject> frmConduttore;
    QPointer<QObject> frmCane;
    QPointer<QObject> frmIscrizione;
    QPointer<QObject> frmClassifica;
    QPointer<QObject> frmChangePassword;
    QPointer<QObject> frmBackUp;
    QPointer<QObject> frmAbout;
    QPointer<QObject> frmReportPartenza;
    QPointer<QObject> frmReportClassifica;
    QPointer<QObject> frmReportIscritti;
    QPointer<QObject> frmEtichette;
    QPointer<QObject> frmPrintPettorali;

    QString databasePath() const { return programFolder + QStringLiteral("/ZAR.mdb"); }
    QString emptyDatabasePath() const { return programFolder + QStringLiteral("/ZAR_Vuoto.mdb"); }
    QString iniPath() const { return programFolder + QStringLiteral("/ZAR.ini"); }

    // Opens dbGare on the program folder's "ZAR.mdb" (exclusive, with the database password).
    void openDatabase() { dbGare = Database::open(databasePath()); }

    // Opens a shared record set on dbGare, replacing (and so releasing) the previous one.
    Recordset& open(std::unique_ptr<Recordset>& slot, const QString& sql, const QVariantList& params = {}) {
        slot = std::make_unique<Recordset>(*dbGare, sql, params);
        return *slot;
    }
};

} // namespace zar
