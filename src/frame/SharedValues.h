#pragma once

#include "frame/RegistriPick.h"
#include "platform/Database.h"
#include "platform/PlatformContext.h"
#include "platform/Recordset.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

namespace zar {

// The values that the forms share: one connection, the shared record sets and texts.
// The main window owns one instance and hands it to every form; tests build their own.
// The platform layer's part (program folder, printer, modal stand-in) is the base.
struct SharedValues : PlatformContext {
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

    // What tests put in place of the program's own behaviour; each empty by default.
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
