#pragma once

// Drivers shared by the tests of the entries and scores forms.
#include "entries/ListaIscritti.h"
#include "support/FormHelpers.h"
#include "support/TestFolder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QStringList>

#include <memory>

namespace zar::test {

// The texts of one column of an entries list, in the order shown, blank-separated.
inline QString column(QWidget* form, const QString& list, int c) {
    const ListaIscrittiModel* m = child<ListaIscritti>(form, list)->modello();
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->testo(r, c);
    return out.join(u' ');
}

inline void addCompetition(Database& db, const QString& gara) {
    db.exec(QStringLiteral("INSERT INTO TblGare (CodiceGara, Gara, Localita, Giudice, Data) VALUES (?, "
                           "'Trofeo', 'Roma', 'Verdi', '01/05/2024')"),
            {gara});
}

inline void addEntry(Database& db, const QString& gara, int bib, const QString& chip = QString(),
                     const QString& classe = QStringLiteral("JUNIOR")) {
    db.exec(QStringLiteral("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, "
                           "Categoria, Classe, Taglia) VALUES (?, ?, 'CF', ?, 'TIME', ?, 'SMALL')"),
            {gara, bib, chip.isNull() ? QStringLiteral("CHIP%1").arg(bib) : chip, classe});
}

// Gives the focus to a widget and lets the form's focus handlers run.
inline void focusOn(QWidget* w) {
    w->setFocus(Qt::TabFocusReason);
    settle();
}

// A fresh program folder holding one competition, and an entries form opened on it; a test
// class derives from it and calls setUpBench()/tearDownBench() from its init()/cleanup().
template <typename Form> struct FormBench {
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<SharedValues> shared;
    std::unique_ptr<Form> form;

    void setUpBench(const QString& gara) {
        folder = std::make_unique<TestFolder>();
        shared = std::make_unique<SharedValues>();
        folder->openShared(*shared);
        addCompetition(db(), gara);
    }
    // The form closes before its files go.
    void tearDownBench() {
        form.reset();
        shared.reset();
        folder.reset();
    }
    Database& db() { return *shared->dbGare; }
    QWidget* f() { return form.get(); }
    QString sql(const QString& query) { return db().scalar(query).toString(); }
    QComboBox* combo(int i) { return child<QComboBox>(f(), QStringLiteral("Cmb_Field_%1").arg(i)); }
    bool enabled(const char* button) { return child<QPushButton>(f(), QLatin1String(button))->isEnabled(); }
    void open() {
        form = std::make_unique<Form>(*shared);
        showActive(f());
    }
};

} // namespace zar::test
