#pragma once

#include "entries/PickTarget.h"
#include "frame/SharedValues.h"
#include "support/FormDriver.h"
#include "support/TestFolder.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <memory>

namespace zar::test {

// Stands in for the entries form: records what a register hands back.
struct FakeTarget : PickTarget {
    QStringList conduttore, cane, gara;
    int calls = 0;
    void riceviConduttore(const QString& cf, const QString& cognome, const QString& nome,
                          const QString& tessera) override {
        conduttore = {cf, cognome, nome, tessera};
        ++calls;
    }
    void riceviCane(const QString& chip, const QString& nome, const QString& razza,
                    const QString& taglia) override {
        cane = {chip, nome, razza, taglia};
        ++calls;
    }
    void riceviGara(const QString& codice, const QString& gara_, const QString& localita,
                    const QString& giudice, const QString& data) override {
        gara = {codice, gara_, localita, giudice, data};
        ++calls;
    }
};

// A program folder with its database open, and a responder for every message box.
struct Env {
    TestFolder folder;
    SharedValues shared;
    StrictResponder boxes;
    Env() { folder.openShared(shared); }
    Database& db() { return *shared.dbGare; }
    QVariant scalar(const QString& sql, const QVariantList& p = {}) { return db().scalar(sql, p); }
    int count(const QString& table) { return scalar("SELECT COUNT(*) FROM " + table).toInt(); }
    void entry(const QString& gara, int bib, const QString& cf, const QString& chip) {
        db().exec(
            "INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip) VALUES (?, ?, ?, ?)",
            {gara, bib, cf, chip});
    }
};

// Builds a form, shows it and waits until it has the focus, as a user would find it.
template <typename Form>
std::unique_ptr<Form> openForm(Env& env, int passVar = 0, PickTarget* target = nullptr) {
    auto form = std::make_unique<Form>(env.shared);
    form->setPassVar(passVar);
    form->setPickTarget(target);
    form->show();
    QApplication::setActiveWindow(form.get());
    if (!QTest::qWaitForWindowActive(form.get()))
        qFatal("form did not become active");
    return form;
}

inline QLineEdit* box(QWidget* form, int i) {
    return child<QLineEdit>(form, QStringLiteral("Txt_Field_%1").arg(i));
}
inline QPushButton* button(QWidget* form, const char* name) {
    return child<QPushButton>(form, QString::fromLatin1(name));
}
inline QString label(QWidget* form, const char* name) {
    return child<QLabel>(form, QString::fromLatin1(name))->text();
}

// Focus a box and type into it, as the keyboard would.
inline void typeInto(QWidget* w, const QString& text) {
    w->setFocus(Qt::TabFocusReason);
    if (auto* le = qobject_cast<QLineEdit*>(w))
        le->selectAll();
    QTest::keyClicks(w, text);
}
inline void enter(QWidget* w) {
    QTest::keyClick(w, Qt::Key_Return);
}
inline void click(QWidget* form, const char* name) {
    QTest::mouseClick(button(form, name), Qt::LeftButton);
}

// Double-clicks the list row whose first column is key.
inline void doubleClickRow(QTreeView* list, const QString& key) {
    const auto* model = list->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        const QModelIndex idx = model->index(r, 0);
        if (model->data(idx).toString() == key) {
            list->scrollTo(idx);
            const QPoint at = list->visualRect(idx).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            return;
        }
    }
    qFatal("no row %s", qPrintable(key));
}

inline QStringList column0(QTreeView* list) {
    QStringList out;
    for (int r = 0; r < list->model()->rowCount(); ++r)
        out << list->model()->data(list->model()->index(r, 0)).toString();
    return out;
}

// Every row of the list, each as its column texts.
inline QList<QStringList> listRows(QTreeView* list) {
    const auto* model = list->model();
    QList<QStringList> out;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < model->columnCount(); ++c)
            row << model->data(model->index(r, c)).toString();
        out << row;
    }
    return out;
}

} // namespace zar::test
