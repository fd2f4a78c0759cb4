#include "registers/FrmConduttore.h"

#include "frame/FieldBox.h"
#include "frame/PickTarget.h"
#include "frame/SharedValues.h"
#include "frame/Utilities.h"
#include "platform/MsgBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace zar {

namespace {

// Fields in box order.
const std::array<const char*, 11> kFields = {"CodiceFiscale", "Cognome",    "Nome",       "Indirizzo",
                                             "Citta",         "Provincia",  "Zip",        "Telefono",
                                             "DataNascita",   "TesseraCIS", "Annotazioni"};
constexpr std::array<int, 11> kWidths = {16, 30, 30, 50, 30, 30, 5, 20, 10, 10, 50};
constexpr int kSesso = 11; // slot of the combo in DatiCaricati
constexpr int kTessera = 9;
constexpr int kDataNascita = 8;
constexpr int kNote = 10;

RegisterForm::Setup setup() {
    RegisterForm::Setup s;
    s.table = QStringLiteral("TblConduttori");
    s.keyField = QStringLiteral("CodiceFiscale");
    s.entriesField = QStringLiteral("CodiceFiscale");
    s.caption = QStringLiteral("Anagrafico Conduttori");
    s.listName = QStringLiteral("LvwConduttori");
    s.headers = {QStringLiteral("Codice_Fiscale"), QStringLiteral("Cognome_Nome"),
                 QStringLiteral("Codice CIS")};
    s.columnTwips = {2000, 3500};
    s.keyCaption = QStringLiteral("Tessera CIS :");
    s.keyLabelName = QStringLiteral("Lbl_TesseraFISC");
    s.countCaption = QStringLiteral("Numero Conduttori :");
    s.savedText = QStringLiteral("Dati Conduttore salvati.");
    s.deleteRefusedText = QStringLiteral(
        "Non è possibile cancellare il record perchè il CONDUTTORE è presente tra gli iscritti alle gare");
    s.duplicateText = QStringLiteral("Esiste già un conduttore con il Codice Fiscale: ");
    s.hasIscrizione = true;
    s.newRecordBox = kTessera;
    return s;
}

} // namespace

FrmConduttore::FrmConduttore(SharedValues& shared, QWidget* parent) : RegisterForm(shared, setup(), parent) {
    setObjectName(QStringLiteral("frmConduttore"));
    DatiCaricati = QStringList(12);
    for (int i = 0; i < kNote; ++i)
        Txt_Field[i] = makeBox(kWidths[i], i == 0 || i == 1 || i == 2 || i == kTessera);
    Txt_Field[kNote] = makeNotes(kWidths[kNote]);
    combo_Sesso = makeCombo(QStringLiteral("combo_Sesso"), {QStringLiteral("M"), QStringLiteral("F")}, false);
    m_comboSlot = kSesso;

    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    auto row = [&](int r, const QString& label, QWidget* w, Qt::Alignment labelAlignment = {}) {
        grid->addWidget(makeLabel(label), r, 0, labelAlignment);
        grid->addWidget(w, r, 1, Qt::AlignLeft);
    };
    row(0, QStringLiteral("Codice Fiscale"), Txt_Field[0]->widget());
    row(1, QStringLiteral("Cognome"), Txt_Field[1]->widget());
    row(2, QStringLiteral("Nome"), Txt_Field[2]->widget());
    row(3, QStringLiteral("Indirizzo"), Txt_Field[3]->widget());
    auto* town = new QHBoxLayout;
    town->addWidget(Txt_Field[4]->widget());
    town->addWidget(Txt_Field[5]->widget());
    town->addWidget(Txt_Field[6]->widget());
    town->addStretch();
    grid->addWidget(makeLabel(QStringLiteral("Città, Prov.,Zip")), 4, 0);
    grid->addLayout(town, 4, 1);
    row(5, QStringLiteral("Telefono"), Txt_Field[7]->widget());
    row(6, QStringLiteral("Data Nascita"), Txt_Field[8]->widget());
    row(7, QStringLiteral("Sesso"), combo_Sesso);
    row(8, QStringLiteral("Tessera CIS"), Txt_Field[9]->widget());
    row(9, QStringLiteral("Annotazioni"), Txt_Field[kNote]->widget(), Qt::AlignTop);
    // The town row shares its width among three boxes.
    for (const auto& [box, chars] : {std::pair{4, 20}, std::pair{5, 12}}) {
        QWidget* w = Txt_Field[size_t(box)]->widget();
        w->setMinimumWidth(w->fontMetrics().averageCharWidth() * chars + 12);
    }

    connect(cmdIscriz, &QPushButton::clicked, this, [this] { cmdIscriz_Click(); });

    QList<QWidget*> ring;
    for (int i = 0; i <= kDataNascita; ++i)
        ring << Txt_Field[i]->widget();
    ring << combo_Sesso << Txt_Field[kTessera]->widget() << Txt_Field[kNote]->widget();
    finishSetup(panel, ring);
}

std::unique_ptr<Recordset>& FrmConduttore::listSet() {
    return m_shared.rsConduttori;
}

namespace {
// Positions in listFields().
enum ListField { LfCodiceFiscale, LfCognome, LfTesseraCIS, LfNome };
} // namespace

QStringList FrmConduttore::listFields() const {
    return {QStringLiteral("CodiceFiscale"), QStringLiteral("Cognome"), QStringLiteral("TesseraCIS"),
            QStringLiteral("Nome")};
}

void FrmConduttore::listRow(const Recordset& rs, const std::vector<int>& fields,
                            RegisterListModel::Rows& out) const {
    out.add(rs, fields[LfCodiceFiscale]);
    if (!rs.isNull(fields[LfCognome])) {
        rs.appendText(fields[LfCognome], out.cell());
        out.cell() += u' ';
        rs.appendText(fields[LfNome], out.cell());
    }
    out.endCell();
    out.add(rs, fields[LfTesseraCIS]);
}

void FrmConduttore::loadRecord(const Recordset& rs, bool byDoubleClick) {
    loadBoxes(rs, kFields, QStringLiteral("Sesso"));
    m_keyLabel->setText(Txt_Field[kTessera]->text());
    if (byDoubleClick)
        Txt_Field[0]->widget()->setFocus(Qt::OtherFocusReason);
}

void FrmConduttore::writeRecord(Recordset& rs, const QString& key) {
    rs.setValue(QStringLiteral("CodiceFiscale"), key);
    for (int i = 1; i < 11; ++i) {
        // An emptied birth date keeps the stored one.
        if (i != kDataNascita || !Txt_Field[i]->text().isEmpty())
            rs.setValue(QString::fromLatin1(kFields[i]), Txt_Field[i]->text());
    }
    rs.setValue(QStringLiteral("Sesso"), combo_Sesso->currentText());
}

bool FrmConduttore::numericBox(int index, const QString& text, const QString& title) {
    const QString value = Txt_Field[index]->text();
    if (value.isEmpty() || isNumericText(value))
        return true;
    MsgBox(text, vbOKOnly + vbExclamation, title);
    focusCaretAtEnd(index);
    return false;
}

bool FrmConduttore::checkFields() {
    return requireBox(0, QStringLiteral("Il campo CODICE FISCALE è vuoto."),
                      QStringLiteral("Codice Fiscale Mancante")) &&
           requireBox(1, QStringLiteral("Il campo COGNOME è vuoto."), QStringLiteral("Cognome Mancante")) &&
           requireBox(2, QStringLiteral("Il campo NOME è vuoto."), QStringLiteral("Nome Mancante")) &&
           requireBox(kTessera, QStringLiteral("Il campo TESSERA CIS è vuoto."),
                      QStringLiteral("Tessera CIS Mancante")) &&
           numericBox(6, QStringLiteral("Codice avviamento postale errato. Solo numeri."),
                      QStringLiteral("Zip Code non corretto")) &&
           numericBox(7, QStringLiteral("Numero di telefono errato. Solo numeri."),
                      QStringLiteral("Telefono non corretto"));
}

QString FrmConduttore::keyChangeMessage() const {
    return QStringLiteral("Non è possibile MODIFICARE il CODICE FISCALE\r\n"
                          "Sono presenti degli iscritti a competizioni con il Codice Fiscale: ") +
           DatiCaricati[0];
}

QString FrmConduttore::keyForDeleteCheck() const {
    return DatiCaricati[0].trimmed();
}

void FrmConduttore::restoreKeyLabel() {
    m_keyLabel->setText(DatiCaricati[kTessera]);
}

void FrmConduttore::handBackRecord(const Recordset& rs) {
    if (m_target)
        m_target->riceviConduttore(rs.text(QStringLiteral("CodiceFiscale")),
                                   rs.text(QStringLiteral("Cognome")), rs.text(QStringLiteral("Nome")),
                                   rs.text(QStringLiteral("TesseraCIS")));
}

void FrmConduttore::handBackBoxes(const QString&) {
    if (m_target)
        m_target->riceviConduttore(Txt_Field[0]->text(), Txt_Field[1]->text(), Txt_Field[2]->text(),
                                   Txt_Field[kTessera]->text());
}

void FrmConduttore::cmdIscriz_Click() {
    guarded([this] {
        Recordset& rs = m_view.recordset();
        if (rs.eof())
            return;
        handBackRecord(rs);
        handBackClose();
    });
}

} // namespace zar
