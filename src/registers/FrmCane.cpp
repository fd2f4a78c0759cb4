#include "registers/FrmCane.h"

#include "frame/FieldBox.h"
#include "frame/PickTarget.h"
#include "frame/SharedValues.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace zar {

namespace {

// Fields in box order.
const std::array<const char*, 5> kFields = {"Microchip", "NomeCane", "Razza", "CentroCinofilo",
                                            "Annotazioni"};
constexpr std::array<int, 5> kWidths = {16, 30, 30, 20, 50};
constexpr int kTaglia = 5; // slot of the combo in DatiCaricati
constexpr int kNote = 4;

RegisterForm::Setup setup() {
    RegisterForm::Setup s;
    s.table = QStringLiteral("TblCani");
    s.keyField = QStringLiteral("Microchip");
    s.entriesField = QStringLiteral("Microchip");
    s.caption = QStringLiteral("Anagrafico Cani");
    s.listName = QStringLiteral("LvwCani");
    s.headers = {QStringLiteral("Microchip"), QStringLiteral("Nome Cane"), QStringLiteral("Razza")};
    s.columnTwips = {2000, 3500};
    s.keyCaption = QStringLiteral("Microchip :");
    s.keyLabelName = QStringLiteral("Lbl_Microchip");
    s.countCaption = QStringLiteral("Numero Records :");
    s.savedText = QStringLiteral("Dati Ccane salvati.");
    s.deleteRefusedText = QStringLiteral(
        "Non è possibile CANCELLARE il record perchè il CANE è presente tra gli iscritti a gare");
    s.duplicateText = QStringLiteral("Esiste già un cane con Microchip: ");
    s.hasIscrizione = true;
    s.releaseEntriesAfterCheck = true;
    s.newRecordBox = 2;
    return s;
}

} // namespace

FrmCane::FrmCane(SharedValues& shared, QWidget* parent) : RegisterForm(shared, setup(), parent) {
    setObjectName(QStringLiteral("frmCane"));
    DatiCaricati = QStringList(6);
    for (int i = 0; i < kNote; ++i)
        Txt_Field[i] = makeBox(kWidths[i], i <= 2);
    Txt_Field[kNote] = makeNotes(kWidths[kNote]);
    Cmb_Taglia =
        makeCombo(QStringLiteral("Cmb_Taglia"), {QStringLiteral("SMALL"), QStringLiteral("LARGE")}, true);
    m_comboSlot = kTaglia;
    m_comboDetectsChange = true;

    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    const QList<QPair<QString, QWidget*>> rows = {
        {QStringLiteral("Microchip"), Txt_Field[0]->widget()},
        {QStringLiteral("Nome Cane"), Txt_Field[1]->widget()},
        {QStringLiteral("Razza"), Txt_Field[2]->widget()},
        {QStringLiteral("Taglia"), Cmb_Taglia},
        {QStringLiteral("Centro Cinofilo"), Txt_Field[3]->widget()},
        {QStringLiteral("Annotazioni"), Txt_Field[kNote]->widget()}};
    QList<QWidget*> ring;
    for (int r = 0; r < rows.size(); ++r) {
        grid->addWidget(makeLabel(rows[r].first), r, 0,
                        r == rows.size() - 1 ? Qt::AlignTop : Qt::Alignment());
        grid->addWidget(rows[r].second, r, 1, Qt::AlignLeft);
        ring << rows[r].second;
    }

    connect(cmdIscriz, &QPushButton::clicked, this, [this] { cmdIscriz_Click(); });
    finishSetup(panel, ring);
}

void FrmCane::setMicrochip(const QString& chip) {
    Txt_Field[0]->setText(chip);
}

std::unique_ptr<Recordset>& FrmCane::listSet() {
    return m_shared.rsCani;
}

QStringList FrmCane::listFields() const {
    return {QStringLiteral("Microchip"), QStringLiteral("NomeCane"), QStringLiteral("Razza")};
}

void FrmCane::loadRecord(const Recordset& rs, bool) {
    loadBoxes(rs, kFields, QStringLiteral("Taglia"));
    m_keyLabel->setText(Txt_Field[0]->text());
}

void FrmCane::writeRecord(Recordset& rs, const QString& key) {
    rs.setValue(QStringLiteral("Microchip"), key);
    // Notes included: a new dog's notes would otherwise be lost.
    for (int i = 1; i < 5; ++i)
        rs.setValue(QString::fromLatin1(kFields[i]), Txt_Field[i]->text());
    rs.setValue(QStringLiteral("Taglia"), Cmb_Taglia->currentText());
}

bool FrmCane::checkFields() {
    return requireBox(0, QStringLiteral("Il campo MICROCHIP è vuoto."),
                      QStringLiteral("Microchip Mancante")) &&
           requireBox(1, QStringLiteral("Il campo NOME CANE è vuoto."),
                      QStringLiteral("Nome Cane Mancante")) &&
           requireBox(2, QStringLiteral("Il campo RAZZA è vuoto."), QStringLiteral("Razza Mancante"));
}

QString FrmCane::keyChangeMessage() const {
    return QStringLiteral("Non è possibile MODIFICARE il codice MICROCHIP\r\n"
                          "Sono presenti degli iscritti a competizioni con Microchip: ") +
           DatiCaricati[0];
}

QString FrmCane::keyForDeleteCheck() const {
    return m_keyLabel->text();
}

void FrmCane::restoreKeyLabel() {
    m_keyLabel->setText(DatiCaricati[0]);
}

void FrmCane::handBackRecord(const Recordset& rs) {
    if (m_target)
        m_target->riceviCane(rs.text(QStringLiteral("Microchip")), rs.text(QStringLiteral("NomeCane")),
                             rs.text(QStringLiteral("Razza")), rs.text(QStringLiteral("Taglia")));
}

void FrmCane::handBackBoxes(const QString&) {
    if (m_target)
        m_target->riceviCane(Txt_Field[0]->text(), Txt_Field[1]->text(), Txt_Field[2]->text(),
                             Cmb_Taglia->currentText());
}

void FrmCane::cmdIscriz_Click() {
    // What the boxes show, including a change typed after the load.
    handBackBoxes(QString());
    handBackClose();
}

} // namespace zar
