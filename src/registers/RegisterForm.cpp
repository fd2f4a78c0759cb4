#include "registers/RegisterForm.h"

#include "frame/FieldBox.h"
#include "frame/ListLook.h"
#include "frame/PickTarget.h"
#include "frame/SharedValues.h"
#include "frame/Utilities.h"
#include "platform/MsgBox.h"
#include "registers/RegisterListModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace zar {

namespace {

const QString kConfirmSave = QStringLiteral("Confermi il salvataggio dei dati?.");
const QString kConfirmDelete = QStringLiteral("Confermi la cancellazione del record corrente?");

bool isEnter(const QKeyEvent* e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

} // namespace

RegisterForm::RegisterForm(SharedValues& shared, Setup setup, QWidget* parent)
    : QDialog(parent), m_shared(shared), m_setup(std::move(setup)), m_view(shared.dbGare.get()),
      m_focus(std::make_unique<FocusTracker>()) {
    setWindowTitle(m_setup.caption);
    setModal(true);

    auto button = [this](const QString& name, const QString& text, bool enabled) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setEnabled(enabled);
        return b;
    };
    cmdSave = button(QStringLiteral("cmdSave"), QStringLiteral("Salva"), false);
    cmdCancel = button(QStringLiteral("cmdCancel"), QStringLiteral("Annulla"), false);
    cmdDelete = button(QStringLiteral("cmdDelete"), QStringLiteral("Cancella"), false);
    if (m_setup.hasIscrizione)
        cmdIscriz = button(QStringLiteral("cmdIscriz"), QStringLiteral("Iscrizione"), false);
    cmdClose = button(QStringLiteral("cmdClose"), QStringLiteral("Chiudi"), true);
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });

    m_keyLabel = new QLabel(kEmptyLabel, this);
    m_keyLabel->setObjectName(m_setup.keyLabelName);
    m_keyLabel->setMinimumWidth(m_keyLabel->fontMetrics().horizontalAdvance(QString(21, u'N')));
    LblNumRecords = new QLabel(this);
    LblNumRecords->setObjectName(QStringLiteral("LblNumRecords"));

    m_model = new RegisterListModel(m_setup.headers, this);
    m_list = new QTreeView(this);
    m_list->setObjectName(m_setup.listName);
    m_list->setModel(m_model);
    PreparaLista(m_list);
    m_list->setItemsExpandable(false);
    m_list->setItemDelegate(new CelleLista(m_list));
    connect(m_list, &QTreeView::doubleClicked, this, [this] { listDoubleClick(); });
}

RegisterForm::~RegisterForm() = default;

void RegisterForm::setPassVar(const QVariant& value) {
    bool numeric = false;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
        numeric = true;
        break;
    case QMetaType::QString:
        numeric = isNumericText(value.toString());
        break;
    default:
        break;
    }
    if (numeric)
        m_passVar = value;
}

bool RegisterForm::pickMode() const {
    if (!m_passVar.isValid())
        return false;
    bool ok = false;
    const double v = m_passVar.toString().trimmed().replace(u',', u'.').toDouble(&ok);
    return ok && v == 1.0;
}

template <typename Box> void RegisterForm::addBox(Box* box, int maxLength, bool required) {
    const int index = int(m_boxes.size());
    box->setObjectName(QStringLiteral("Txt_Field_%1").arg(index));
    box->setMaxLength(maxLength);
    // Keys and codes are upper-case: size the box for capitals up to 20 characters.
    const int chars = std::clamp(maxLength, 6, 36);
    const int capitals = std::min(chars, 20);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QString(capitals, u'N')) +
                         box->fontMetrics().averageCharWidth() * (chars - capitals) + 16);
    if (required) {
        QPalette p = box->palette();
        p.setColor(QPalette::Base, QColor(kRequiredColour));
        box->setPalette(p);
    }
    box->hooks.gotFocus = [this, index] { boxGotFocus(index); };
    box->hooks.lostFocus = [this, index] { boxLostFocus(index); };
    box->hooks.keyPress = [this, index, box](QKeyEvent* e) {
        if (isEnter(e))
            return enterMoves(box, e);
        bool swallowed = false;
        guarded([&] { swallowed = boxKey(index, e); });
        return swallowed;
    };
    m_boxes << box;
}

FieldBox* RegisterForm::makeBox(int maxLength, bool required) {
    auto* box = new FieldBox(*m_focus, this);
    if (m_boxes.isEmpty()) {
        // The list follows what the key box holds after each keystroke. A typed key is
        // searched once the box has taken it whole, so that the count, shown at once, is
        // painted together with the box as it ends up.
        connect(box, &QLineEdit::textEdited, this, [this, box](const QString& text) {
            if (box->takingKey())
                m_searchPending = true;
            else
                guarded([&] { search(text); });
        });
        box->hooks.keyTaken = [this, box] {
            if (!m_searchPending)
                return;
            m_searchPending = false;
            guarded([&] { search(box->text()); });
        };
    }
    addBox(box, maxLength, required);
    return box;
}

NotesBox* RegisterForm::makeNotes(int maxLength) {
    auto* box = new NotesBox(*m_focus, this);
    addBox(box, maxLength, false);
    return box;
}

FieldCombo* RegisterForm::makeCombo(const QString& name, const QStringList& items, bool requiredColour) {
    auto* combo = new FieldCombo(*m_focus, this);
    combo->setObjectName(name);
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    combo->clearEditText();
    combo->setMinimumWidth(combo->fontMetrics().averageCharWidth() * 10 + 30);
    if (requiredColour) {
        QPalette p = combo->palette();
        p.setColor(QPalette::Base, QColor(kRequiredColour));
        combo->setPalette(p);
    }
    combo->hooks.lostFocus = [this] { comboLostFocus(); };
    combo->hooks.keyPress = [this, combo](QKeyEvent* e) { return isEnter(e) && enterMoves(combo, e); };
    m_combo = combo;
    return combo;
}

QLabel* RegisterForm::makeLabel(const QString& text) {
    return new QLabel(text, this);
}

void RegisterForm::finishSetup(QWidget* fieldsPanel, QList<QWidget*> enterRing) {
    m_ring = std::move(enterRing);
    for (int i = 1; i < m_ring.size(); ++i)
        setTabOrder(m_ring[i - 1], m_ring[i]);

    auto* info = new QHBoxLayout;
    info->addWidget(new QLabel(m_setup.keyCaption, this));
    info->addWidget(m_keyLabel);
    info->addStretch();
    info->addWidget(new QLabel(m_setup.countCaption, this));
    info->addWidget(LblNumRecords);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmdSave, cmdCancel, cmdDelete, cmdIscriz, cmdClose}) {
        if (b)
            buttons->addWidget(b);
    }

    auto* top = new QHBoxLayout;
    top->addWidget(fieldsPanel);
    top->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(info);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    LarghezzeColonne(m_list, m_setup.columnTwips);
    int listWidth = 0;
    for (int c = 0; c < m_setup.columnTwips.size(); ++c)
        listWidth += m_list->header()->sectionSize(c);
    m_list->setMinimumSize(listWidth + 160, 200);

    // Opening: the bound view on the whole table, the list and its count.
    guarded([this] {
        pointViewAtAll();
        reloadList();
    });
    ModificaRecord = false;
    if (!m_boxes.isEmpty())
        m_boxes[0]->widget()->setFocus(Qt::OtherFocusReason);
}

void RegisterForm::loadBoxes(const Recordset& rs, std::span<const char* const> fields,
                             const QString& comboField) {
    for (size_t i = 0; i < fields.size(); ++i) {
        m_boxes[qsizetype(i)]->setText(rs.text(QString::fromLatin1(fields[i])));
        DatiCaricati[qsizetype(i)] = m_boxes[qsizetype(i)]->text();
    }
    if (m_combo) {
        m_combo->setEditText(rs.text(comboField));
        DatiCaricati[m_comboSlot] = m_combo->currentText();
    }
}

void RegisterForm::CaricaLista() {
    Recordset& rs = *listSet();
    LblNumRecords->setText(QString::number(rs.recordCount()));
    LblNumRecords->repaint();
    std::vector<int> fields;
    for (const QString& name : listFields())
        fields.push_back(rs.fieldIndex(name));
    RegisterListModel::Rows rows;
    rows.reserve(rs.recordCount(), int(m_setup.headers.size()));
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        listRow(rs, fields, rows);
    m_model->setRows(std::move(rows));
}

void RegisterForm::listRow(const Recordset& rs, const std::vector<int>& fields,
                           RegisterListModel::Rows& out) const {
    for (int field : fields)
        out.add(rs, field);
}

void RegisterForm::reloadList() {
    m_shared.open(listSet(), QStringLiteral("SELECT * FROM %1").arg(m_setup.table));
    CaricaLista();
}

void RegisterForm::search(const QString& typed) {
    const QString pattern = escapeLike(typed.toUpper()) + u'%';
    m_shared.open(
        listSet(),
        QStringLiteral("SELECT * FROM %1 WHERE %2 LIKE ? ESCAPE '\\'").arg(m_setup.table, m_setup.keyField),
        {pattern});
    CaricaLista();
}

void RegisterForm::ClearFields() {
    for (FieldText* box : m_boxes)
        box->clear();
    if (m_combo)
        m_combo->setEditText(QString());
    m_keyLabel->setText(kEmptyLabel);
    for (QString& v : DatiCaricati)
        v.clear();
    ModificaRecord = false;
    cmdDelete->setEnabled(false);
}

void RegisterForm::pointViewAt(const QString& key) {
    m_view.setRecordSource(
        QStringLiteral("select * from %1 where %2 = ?").arg(m_setup.table, m_setup.keyField), {key});
    m_view.refresh();
}

void RegisterForm::pointViewAtAll() {
    m_view.setRecordSource(
        QStringLiteral("select * from %1 order by %2").arg(m_setup.table, m_setup.keyField));
    m_view.refresh();
}

QString RegisterForm::newKey() const {
    return m_boxes[0]->text();
}

QString RegisterForm::loadedKey() const {
    return DatiCaricati.value(0);
}

void RegisterForm::boxEntered(int index) {
    const bool hasRecord = viewHasRecord();
    if (index == 1 && hasRecord)
        lookUpKey(m_boxes[0]->text());
    if (index == m_setup.newRecordBox && !hasRecord)
        enableSaveCancel();
}

bool RegisterForm::viewHasRecord() {
    return m_view.recordset().recordCount() > 0;
}

bool RegisterForm::keyExists(const QString& key) {
    return m_shared.dbGare
               ->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?")
                            .arg(m_setup.table, m_setup.keyField),
                        {key})
               .toInt() > 0;
}

bool RegisterForm::hasEntries(const QString& key) {
    Recordset& rs = m_shared.open(
        m_shared.rsIscrizioni,
        QStringLiteral("SELECT * FROM TblIscrizioni WHERE %1 = ?").arg(m_setup.entriesField), {key});
    const bool found = rs.recordCount() > 0;
    if (m_setup.releaseEntriesAfterCheck)
        m_shared.rsIscrizioni.reset();
    return found;
}

// The key is looked up in the table itself, not among the list rows, which a search may
// have narrowed. A key not there starts a new record.
void RegisterForm::lookUpKey(const QString& key) {
    if (key.isEmpty() || !keyExists(key)) {
        enableSaveCancel();
        return;
    }
    // With a change pending the form keeps its values; pointing the view at another
    // record would make the save overwrite that record.
    if (ModificaRecord)
        return;
    pointViewAt(key);
    loadRecord(m_view.recordset(), false);
    if (pickMode() && cmdIscriz)
        cmdIscriz->setEnabled(true);
}

void RegisterForm::enableSaveCancel() {
    cmdSave->setEnabled(true);
    cmdCancel->setEnabled(true);
}

void RegisterForm::upperCase(int index) {
    FieldText* box = m_boxes[index];
    const QString upper = box->text().toUpper();
    if (upper != box->text())
        box->setText(upper);
}

bool RegisterForm::requireBox(int index, const QString& text, const QString& title) {
    if (!m_boxes[index]->text().isEmpty())
        return true;
    MsgBox(text, vbOKOnly + vbExclamation, title);
    m_boxes[index]->widget()->setFocus(Qt::OtherFocusReason);
    return false;
}

void RegisterForm::focusCaretAtEnd(int index) {
    FieldText* box = m_boxes[index];
    m_caretAtEndBox = index;
    box->widget()->setFocus(Qt::OtherFocusReason);
    box->caretToEnd();
    if (box->widget()->hasFocus())
        m_caretAtEndBox = -1; // arrived at once; otherwise boxGotFocus places the caret
}

void RegisterForm::handBackClose() {
    done(QDialog::Accepted);
}

void RegisterForm::boxGotFocus(int index) {
    guarded([&] {
        if (index > 0)
            upperCase(index - 1);
        boxEntered(index);
    });
    if (index == m_caretAtEndBox) {
        m_caretAtEndBox = -1;
        m_boxes[index]->caretToEnd();
    } else {
        m_boxes[index]->selectAll();
    }
}

void RegisterForm::detectChange(int slot, const QString& now) {
    const QString loaded = DatiCaricati.value(slot);
    if (!loaded.trimmed().isEmpty() && loaded != now) {
        ModificaRecord = true;
        enableSaveCancel();
    }
}

void RegisterForm::boxLostFocus(int index) {
    detectChange(index, m_boxes[index]->text());
    guarded([&] { boxLeft(index); });
}

void RegisterForm::comboLostFocus() {
    if (m_comboDetectsChange)
        detectChange(m_comboSlot, m_combo->currentText());
}

bool RegisterForm::enterMoves(QWidget* from, QKeyEvent*) {
    const int at = int(m_ring.indexOf(from));
    if (at < 0 || m_ring.isEmpty())
        return false;
    m_ring[(at + 1) % m_ring.size()]->setFocus(Qt::TabFocusReason);
    return true;
}

void RegisterForm::keyPressEvent(QKeyEvent* e) {
    // Esc would close the register and drop what is typed.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void RegisterForm::cmdSave_Click() {
    guarded([this] { save(); });
}

void RegisterForm::save() {
    if (!checkFields())
        return;
    if (MsgBox(kConfirmSave, vbYesNo + vbQuestion) != vbYes) {
        ClearFields();
        if (pickMode()) {
            handBackBoxes(QString());
            handBackClose();
            return;
        }
        startOver();
        return;
    }
    const QString key = newKey();
    const QString loaded = loadedKey();
    // Entries refer to the key by its text: a key they use must not change. A new
    // record has no loaded key and nothing to protect.
    if (!loaded.isEmpty() && loaded.trimmed() != key.trimmed() && hasEntries(loaded.trimmed())) {
        MsgBox(keyChangeMessage(), vbOKOnly);
        cmdDelete->setEnabled(false);
        return;
    }
    Recordset& rs = m_view.recordset();
    const qint64 self = ModificaRecord ? rs.rowId() : -1;
    const QVariant others =
        m_shared.dbGare->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ? AND rowid <> ?")
                                    .arg(m_setup.table, m_setup.keyField),
                                {key, self});
    if (others.toInt() > 0) {
        MsgBox(m_setup.duplicateText + key, vbOKOnly);
        return;
    }
    if (ModificaRecord)
        rs.edit();
    else
        rs.addNew();
    try {
        writeRecord(rs, key);
        rs.update();
    } catch (...) {
        rs.cancelUpdate();
        throw;
    }
    // The view follows the saved record, also when its key changed.
    pointViewAt(key);
    MsgBox(m_setup.savedText, vbInformation);
    if (pickMode()) {
        handBackBoxes(key);
        handBackClose();
        return;
    }
    startOver();
}

// After a save or a refused one: the list again, empty boxes, nothing to save.
void RegisterForm::startOver() {
    reloadList();
    cmdSave->setEnabled(false);
    cmdCancel->setEnabled(false);
    if (cmdIscriz)
        cmdIscriz->setEnabled(false);
    ClearFields();
}

void RegisterForm::cmdCancel_Click() {
    cmdSave->setEnabled(false);
    cmdCancel->setEnabled(false);
    cmdDelete->setEnabled(false);
    if (!ModificaRecord) {
        ClearFields();
    } else {
        for (int i = 0; i < m_boxes.size(); ++i)
            m_boxes[i]->setText(DatiCaricati.value(i));
        if (m_combo)
            m_combo->setEditText(DatiCaricati.value(m_comboSlot));
        restoreKeyLabel();
    }
    ModificaRecord = false;
}

void RegisterForm::cmdDelete_Click() {
    guarded([this] { remove(); });
}

void RegisterForm::remove() {
    if (MsgBox(kConfirmDelete, vbYesNo + vbCritical) != vbYes)
        return;
    if (hasEntries(keyForDeleteCheck())) {
        MsgBox(m_setup.deleteRefusedText, vbOKOnly);
        cmdDelete->setEnabled(false);
        return;
    }
    Recordset& rs = m_view.recordset();
    rs.deleteRecord();
    rs.moveNext();
    // Back on the whole table, so that typed keys are looked up again.
    pointViewAtAll();
    ClearFields();
    reloadList();
}

void RegisterForm::cmdClose_Click() {
    done(QDialog::Accepted);
}

void RegisterForm::done(int result) {
    if (!m_setup.releaseEntriesAfterCheck)
        m_shared.rsIscrizioni.reset();
    listSet().reset();
    QDialog::done(result);
}

void RegisterForm::listDoubleClick() {
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    const QString key = m_model->text(selected.first().row(), 0);
    guarded([&] {
        pointViewAt(key);
        if (!viewHasRecord())
            return;
        if (pickMode()) {
            handBackRecord(m_view.recordset());
            handBackClose();
            return;
        }
        loadRecord(m_view.recordset(), true);
        cmdDelete->setEnabled(true);
    });
}

} // namespace zar
