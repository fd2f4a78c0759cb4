#include "registers/FrmGare.h"

#include "frame/FieldBox.h"
#include "frame/PickTarget.h"
#include "frame/SharedValues.h"
#include "frame/Utilities.h"
#include "registers/CodiceGara.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace zar {

namespace {

// Fields in box order.
const std::array<const char*, 5> kFields = {"Gara", "Localita", "Data", "Giudice", "Annotazioni"};
constexpr std::array<int, 5> kWidths = {16, 30, 30, 20, 50};
constexpr int kCodice = 5; // slot of the loaded code in DatiCaricati
constexpr int kData = 2;
constexpr int kGiudice = 3;
constexpr int kNote = 4;
constexpr int kShownCode = 21; // characters of the code shown in Lbl_CodiceGara

RegisterForm::Setup setup() {
    RegisterForm::Setup s;
    s.table = QStringLiteral("TblGare");
    s.keyField = QStringLiteral("CodiceGara");
    s.entriesField = QStringLiteral("CodiceGara");
    s.caption = QStringLiteral("Anagrafico Gare");
    s.listName = QStringLiteral("LvwGare");
    s.headers = {QStringLiteral("Codice Gara"), QStringLiteral("Gara"), QStringLiteral("Località"),
                 QStringLiteral("Data")};
    s.columnTwips = {1500, 2000, 2000};
    s.keyCaption = QStringLiteral("Codice Gara:");
    s.keyLabelName = QStringLiteral("Lbl_CodiceGara");
    s.countCaption = QStringLiteral("Numero Records :");
    s.savedText = QStringLiteral("Dati Gara salvati.");
    s.deleteRefusedText = QStringLiteral("Non è possibile cancellare questo record GARA, perchè sono "
                                         "presenti degli iscritti alla competizione");
    s.duplicateText = QStringLiteral("Esiste già una gara con Codice Gara: ");
    return s;
}

} // namespace

FrmGare::FrmGare(SharedValues& shared, QWidget* parent) : RegisterForm(shared, setup(), parent) {
    setObjectName(QStringLiteral("frmGare"));
    DatiCaricati = QStringList(7);
    for (int i = 0; i < kNote; ++i)
        Txt_Field[i] = makeBox(kWidths[i], i <= kData);
    Txt_Field[kNote] = makeNotes(kWidths[kNote]);
    QWidget* dateBox = Txt_Field[kData]->widget();
    dateBox->setToolTip(QStringLiteral("Inserire la data nel formato ... ggmmaaaa .. senza separatori"));
    // The date box never needs more than dd/mm/yyyy.
    dateBox->setMinimumWidth(dateBox->fontMetrics().averageCharWidth() * 14 + 12);

    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    const QStringList labels = {QStringLiteral("Gara"), QStringLiteral("Località"),
                                QStringLiteral("Data Gara"), QStringLiteral("Giudice"),
                                QStringLiteral("Annotazioni")};
    QList<QWidget*> ring;
    for (int r = 0; r < 5; ++r) {
        grid->addWidget(makeLabel(labels[r]), r, 0, r == kNote ? Qt::AlignTop : Qt::Alignment());
        grid->addWidget(Txt_Field[r]->widget(), r, 1, Qt::AlignLeft);
        ring << Txt_Field[r]->widget();
    }
    finishSetup(panel, ring);
}

std::unique_ptr<Recordset>& FrmGare::listSet() {
    return m_shared.rsGare;
}

QStringList FrmGare::listFields() const {
    return {QStringLiteral("CodiceGara"), QStringLiteral("Gara"), QStringLiteral("Localita"),
            QStringLiteral("Data")};
}

void FrmGare::showCode(const QString& code) {
    m_keyLabel->setText(code.left(kShownCode));
}

void FrmGare::loadRecord(const Recordset& rs, bool byDoubleClick) {
    loadBoxes(rs, kFields);
    showCode(byDoubleClick ? rs.text(QStringLiteral("CodiceGara")) : CodiceGaraCalcolato);
    DatiCaricati[kCodice] = rs.text(QStringLiteral("CodiceGara"));
}

void FrmGare::writeRecord(Recordset& rs, const QString& key) {
    rs.setValue(QStringLiteral("CodiceGara"), key);
    for (int i = 0; i < 5; ++i) {
        // Notes included: a new competition's notes would otherwise be lost.
        rs.setValue(QString::fromLatin1(kFields[i]), Txt_Field[i]->text());
    }
}

bool FrmGare::checkFields() {
    return requireBox(0, QStringLiteral("Il campo GARA è vuoto."), QStringLiteral("Nome Gara Mancante")) &&
           requireBox(1, QStringLiteral("Il campo LOCALITA' è vuoto."),
                      QStringLiteral("Località Mancante")) &&
           requireBox(2, QStringLiteral("Il campo DATA GARA è vuoto."), QStringLiteral("Data Gara Mancante"));
}

QString FrmGare::newKey() const {
    return CodiceGaraDa(Txt_Field[kData]->text(), Txt_Field[1]->text());
}

QString FrmGare::loadedKey() const {
    return DatiCaricati[kCodice];
}

QString FrmGare::keyChangeMessage() const {
    return QStringLiteral("Non è possibile MODIFICARE la LOCALITA' o la DATA della GARA\r\n"
                          "Sono presenti degli iscritti a questa competizione\r\n"
                          " Codice Gara :") +
           DatiCaricati[kCodice];
}

QString FrmGare::keyForDeleteCheck() const {
    return DatiCaricati[kCodice];
}

void FrmGare::restoreKeyLabel() {
    CodiceGaraCalcolato = ParteDataCodiceGara(DatiCaricati[kData]);
    showCode(CodiceGaraCalcolato + DatiCaricati[1]);
}

void FrmGare::handBackRecord(const Recordset& rs) {
    if (m_target)
        m_target->riceviGara(rs.text(QStringLiteral("CodiceGara")), rs.text(QStringLiteral("Gara")),
                             rs.text(QStringLiteral("Localita")), rs.text(QStringLiteral("Giudice")),
                             rs.text(QStringLiteral("Data")));
}

void FrmGare::handBackBoxes(const QString& key) {
    if (m_target)
        m_target->riceviGara(key, Txt_Field[0]->text(), Txt_Field[1]->text(), Txt_Field[kGiudice]->text(),
                             Txt_Field[kData]->text());
}

void FrmGare::search(const QString& typed) {
    const QString pattern = u'%' + escapeLike(typed.toUpper()) + u'%';
    m_shared.open(m_shared.rsGare, QStringLiteral("SELECT * FROM TblGare WHERE Gara LIKE ? ESCAPE '\\'"),
                  {pattern});
    CaricaLista();
}

void FrmGare::boxEntered(int index) {
    if (index == 0)
        ProponiUltimaGara();
    if (index != kGiudice)
        return;
    // The key needs both the place and the date, so a new competition is recognised here.
    CodiceGaraCalcolato = CodiceGaraDa(Txt_Field[kData]->text(), Txt_Field[1]->text());
    if (!viewHasRecord()) {
        enableSaveCancel();
        return;
    }
    lookUpKey(CodiceGaraCalcolato);
}

void FrmGare::boxLeft(int index) {
    if (index != kData)
        return;
    const QDate today = m_today();
    FieldText* box = Txt_Field[kData];
    if (box->text().isEmpty())
        box->setText(today.toString(QStringLiteral("dd/MM/yyyy")));
    box->setText(NormalizzaData(box->text(), today));
}

bool FrmGare::boxKey(int index, QKeyEvent* e) {
    if (index != kData || e->text().isEmpty())
        return false;
    const QChar c = e->text().front();
    if (!c.isPrint())
        return false; // Backspace, Delete and shortcuts
    return !((c >= u'0' && c <= u'9') || c == u'/');
}

void FrmGare::ProponiUltimaGara() {
    const QString ultima = m_shared.UltimaGara;
    if (ultima.isEmpty())
        return;
    RispostaUltimaGara = MsgBox(QStringLiteral("Ultime iscrizioni fatte per la gara : ") + ultima +
                                    QStringLiteral("\n\rContinuare le iscrizioni per questa gara?"),
                                vbYesNo + vbExclamation);
    if (RispostaUltimaGara != vbYes)
        return;
    pointViewAt(ultima);
    if (!viewHasRecord()) {
        // A code no longer in the table: back on the whole table, so look-ups go on.
        pointViewAtAll();
        return;
    }
    if (!pickMode())
        return;
    handBackRecord(m_view.recordset());
    // The offer runs as the form gets the focus, which can happen while it is being shown,
    // before its modal loop runs: closing then would leave that loop on a hidden form.
    QMetaObject::invokeMethod(
        this, [this] { handBackClose(); }, Qt::QueuedConnection);
}

} // namespace zar
