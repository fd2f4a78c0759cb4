#pragma once

#include "frame/PickTarget.h"
#include "frame/SharedValues.h"
#include "platform/Database.h"
#include "registers/RegisterForm.h"
#include "support/FormHelpers.h"
#include "support/TestFolder.h"

#include <QApplication>
#include <QObject>
#include <QTest>

#include <functional>
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
    // Every row of a table, to tell that nothing was written.
    QStringList dump(const QString& table) {
        Statement st(db(), "SELECT * FROM " + table + " ORDER BY rowid");
        QStringList rows;
        while (st.step()) {
            QStringList row;
            for (int c = 0; c < st.columnCount(); ++c)
                row << st.column(c).toString();
            rows << row.join(u'|');
        }
        return rows;
    }
};

// Builds a register, shows it and waits until it has the focus.
template <typename Form>
std::unique_ptr<Form> openForm(Env& env, int passVar = 0, PickTarget* target = nullptr) {
    auto form = std::make_unique<Form>(env.shared);
    form->setPassVar(passVar);
    form->setPickTarget(target);
    showActive(form.get());
    return form;
}

// What the shared register checks need to know of one register.
struct RegisterCase {
    std::function<std::unique_ptr<RegisterForm>(SharedValues&)> make;
    QString table, list, entriesField; // the field of TblIscrizioni that holds the key
    std::unique_ptr<Recordset> SharedValues::*listSet;
    QStringList FakeTarget::*handedTo;
    int nameBox;
    QString a, b, c, quoted; // two stored keys, a free one, one holding a quote
    QString narrowToB;       // typed into box 0, lists b alone
    std::function<void(Env&, const QString& key, const QString& name)> add;
    // The list row and the double-click hand-back of a stored record.
    using Shown = std::function<QStringList(const QString& key, const QString& name)>;
    Shown listed, stored;
    // typeKey types a key and moves on into the box that looks it up; typeRecord types a
    // whole new record, and `typed` gives what saving it in pick mode hands back.
    using Typist = std::function<void(QWidget*, const QString& key)>;
    Typist typeKey, typeRecord;
    std::function<QStringList(const QString& key)> typed;
    QString saved, duplicate, keyChangeRefused, deleteRefused;
};

// The register pattern's behaviour, run on each register with its own case.
class RegisterPatternTest : public QObject {
    Q_OBJECT
public:
    explicit RegisterPatternTest(RegisterCase c) : m_case(std::move(c)) {}

private slots:
    void listSearchAndLookUp();
    void noAtTheConfirmation_data();
    void noAtTheConfirmation();
    void pickModeHandsBackByDoubleClickAndSave();
    void keyChangeSaveAndDeleteWithoutEntries();
    void keyInUseIsNeitherChangedNorDeleted();
    void duplicateKeysAreRefused_data();
    void duplicateKeysAreRefused();

private:
    std::unique_ptr<RegisterForm> open(Env& env, int passVar = 0, PickTarget* target = nullptr);
    RegisterCase m_case;
};

} // namespace zar::test

// Runs the shared register checks, then the register's own test class.
#define ZAR_REGISTER_TEST_MAIN(TestClass, registerCase)                                                      \
    int main(int argc, char** argv) {                                                                        \
        QApplication app(argc, argv);                                                                        \
        zar::test::RegisterPatternTest pattern(registerCase);                                                \
        TestClass own;                                                                                       \
        const int failed = QTest::qExec(&pattern, argc, argv);                                               \
        return failed + QTest::qExec(&own, argc, argv);                                                      \
    }
