#pragma once

#include "platform/Guarded.h"
#include "platform/Recordset.h"
#include "registers/RegisterListModel.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <span>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class QKeyEvent;

namespace zar {

struct SharedValues;
class PickTarget;
class FieldBox;
class FieldCombo;
class FieldText;
class NotesBox;
class FocusTracker;

// The register pattern shared by the handlers, dogs and competitions registers: a column
// of boxes for one record, the list of all records with its count, a bound view whose
// current record is the one saved or deleted, change detection against the values as
// loaded, protection of keys that entries still use, and pick mode (PassVar = 1), in
// which the chosen or saved record is handed to the entries form.
//
// The opener owns the form: it shows it through showModal and deletes it afterwards.
class RegisterForm : public QDialog {
public:
    // What names a register: its table, key, texts and list.
    struct Setup {
        QString table;        // TblConduttori
        QString keyField;     // CodiceFiscale
        QString entriesField; // the field of TblIscrizioni that refers to the key
        QString caption;
        QString listName;
        QStringList headers;
        QList<int> columnTwips; // all but the last column; the last takes the rest
        QString keyCaption;     // "Tessera CIS :"
        QString keyLabelName;   // Lbl_TesseraFISC
        QString countCaption;   // "Numero Conduttori :"
        QString savedText;
        QString deleteRefusedText;
        QString duplicateText; // followed by the key
        bool hasIscrizione = false;
        bool releaseEntriesAfterCheck = false; // else on closing, with the list's record set
        int newRecordBox = -1;                 // entering it with no record loaded enables Salva and Annulla
    };

    ~RegisterForm() override;

    // Stores the value only when it is numeric; pick mode is a stored value of 1.
    void setPassVar(const QVariant& value);
    QVariant passVar() const { return m_passVar; }
    bool pickMode() const;
    // Where pick mode hands the record back; may be null (then nothing is written).
    void setPickTarget(PickTarget* target) { m_target = target; }

    // Every way of closing (Chiudi, the close box) releases the shared record sets.
    void done(int result) override;

protected:
    RegisterForm(SharedValues& shared, Setup setup, QWidget* parent);

    // Builders for the derived forms, called in index order.
    FieldBox* makeBox(int maxLength, bool required);
    // The multi-line notes box.
    NotesBox* makeNotes(int maxLength);
    FieldCombo* makeCombo(const QString& name, const QStringList& items, bool requiredColour);
    QLabel* makeLabel(const QString& text);
    // Lays the form out around the derived form's panel of boxes; then runs the opening.
    void finishSetup(QWidget* fieldsPanel, QList<QWidget*> enterRing);

    // What differs from register to register.
    virtual std::unique_ptr<Recordset>& listSet() = 0;
    // The fields that the list's cells come from, looked up once per list load; by
    // default each is the text of one column.
    virtual QStringList listFields() const = 0;
    // Adds the current record's cells, one per column; `fields` are the positions of
    // listFields() in the record set.
    virtual void listRow(const Recordset& rs, const std::vector<int>& fields,
                         RegisterListModel::Rows& out) const;
    virtual void loadRecord(const Recordset& rs, bool byDoubleClick) = 0;
    virtual void writeRecord(Recordset& rs, const QString& key) = 0;
    virtual bool checkFields() = 0;
    // The key to save and the key as loaded; by default box 0 and its loaded value.
    virtual QString newKey() const;
    virtual QString loadedKey() const;
    virtual QString keyChangeMessage() const = 0;
    virtual QString keyForDeleteCheck() const = 0;
    virtual void restoreKeyLabel() = 0;
    virtual void handBackRecord(const Recordset& rs) = 0;
    virtual void handBackBoxes(const QString& key) = 0;
    // By default: box 1 looks up the typed key, newRecordBox starts a new record.
    virtual void boxEntered(int index);
    virtual void boxLeft(int) {}
    virtual bool boxKey(int, QKeyEvent*) { return false; }
    // The list after a keystroke in the search box; an empty pattern lists everything.
    virtual void search(const QString& typed);

    // The pattern's shared steps.
    // Shows the record's fields in the boxes (in box order) and the combo, as loaded.
    void loadBoxes(const Recordset& rs, std::span<const char* const> fields, const QString& comboField = {});
    void CaricaLista();
    void reloadList();
    void ClearFields();
    void pointViewAt(const QString& key);
    void pointViewAtAll();
    bool viewHasRecord();
    bool keyExists(const QString& key);
    bool hasEntries(const QString& key);
    void lookUpKey(const QString& key);
    void enableSaveCancel();
    void upperCase(int index);
    bool requireBox(int index, const QString& text, const QString& title);
    // Gives the box the focus with the caret after its last character and nothing selected,
    // also when the focus arrives only as the window is activated again (after a message box).
    void focusCaretAtEnd(int index);
    void handBackClose();

    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void cmdClose_Click();
    void listDoubleClick();

    void keyPressEvent(QKeyEvent* e) override;

    SharedValues& m_shared;
    Setup m_setup;
    BoundView m_view;
    PickTarget* m_target = nullptr;
    QVariant m_passVar;

    QStringList DatiCaricati;
    bool ModificaRecord = false;

    QList<FieldText*> m_boxes;
    FieldCombo* m_combo = nullptr;
    int m_comboSlot = -1; // index of the combo's value in DatiCaricati
    bool m_comboDetectsChange = false;
    QList<QWidget*> m_ring;
    std::unique_ptr<FocusTracker> m_focus;
    int m_caretAtEndBox = -1;     // the box whose next focus keeps the caret at its end
    bool m_searchPending = false; // the key box changed while taking a key

    QLabel* m_keyLabel = nullptr;
    QLabel* LblNumRecords = nullptr;
    QTreeView* m_list = nullptr;
    RegisterListModel* m_model = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdIscriz = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    // Sizes a box for its length, colours a required one and runs its focus and key hooks.
    template <typename Box> void addBox(Box* box, int maxLength, bool required);
    void boxGotFocus(int index);
    void boxLostFocus(int index);
    void comboLostFocus();
    bool enterMoves(QWidget* from, QKeyEvent* e);
    void save();
    void startOver();
    void remove();
    void detectChange(int slot, const QString& now);
};

inline const QString kRequiredColour = QStringLiteral("#FBE7CC");
inline const QString kEmptyLabel = QStringLiteral(".....");

} // namespace zar
