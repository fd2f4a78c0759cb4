#include "labels/FrmEtichette.h"

#include "entries/EntriesDialog.h"
#include "entries/RunTime.h"
#include "frame/IniAccess.h"
#include "frame/SharedValues.h"
#include "labels/FoglioEtichette.h"
#include "labels/StampaFoglio.h"
#include "platform/Guarded.h"
#include "platform/MsgBox.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace zar {

namespace {

struct Box {
    const char* nome;
    const char* etichetta;
    int lunghezza;
    const char* suggerimento;
    bool decimale; // takes a comma and a full stop besides the digits
};

// In the order of the settings section.
constexpr std::array<Box, NumeroParametriEtichetta> kBox{{
    {"TxtEtichetteLinea", "Numero etichette linea :", 2, "Configurazione Pagina", false},
    {"TxtEtichettaH", "Label Height :", 5, "Altezza dell'etichetta", true},
    {"TxtEtichettaW", "Label Width :", 5, "Lunghezza dell'etichetta", true},
    {"TxtEtichettaT", "Label from Top :", 3,
     "Distanza del bordo superiore dell'etichetta dal margine superiore della pagina", true},
    {"TxtEtichettaL", "Label from Left :", 3,
     "Distanza del bordo sinistro dell'etichetta dal margine sinistro della pagina", true},
    {"TxtEtichettaR", "Label to Right label :", 3, "Distanza destra tra un'etichetta e l'altra", true},
    {"TxtEtichettaD", "Label to Down label :", 3, "Distanza inferiore tra un'etichetta e l'altra", true},
    {"TxtEtichetteColonna", "Numero etichette colonna :", 2, "", false},
    {"TxtEtichetteCodice", "Numero di etichette per codice        :", 2,
     "Numero di etichette da stampare per ogni codice stampato", false},
    {"TxtSkipEtichette", "Skip etichette vuote :", 2, "Salto iniziale di etichette vuote", false},
}};

// The boxes in the order Enter walks them (and the form shows them).
constexpr std::array<int, NumeroParametriEtichetta> kGiro{
    Etichette_Linea, Etichette_Colonna,    Label_Height,        Label_Width,        Label_From_Top,
    Label_From_Left, Label_To_Right_Label, Label_To_Down_Label, Etichette_Campione, Skip_Vuote};

// Which measure each mark of the sketch names, beside the boxes' captions.
const char* const kSigle[] = {"", "LH", "LW", "LT", "LL", "LR", "LD", "", "", ""};

// A small sheet of labels whose marks name the six measures in millimetres.
class Schizzo : public QWidget {
public:
    explicit Schizzo(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Schizzo"));
        setFixedSize(190, 230);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF foglio(10.5, 10.5, 168, 208);
        p.fillRect(foglio, Qt::white);
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(foglio);
        const double l = 30, t = 50, w = 50, h = 60, gx = 18, gy = 16;
        p.setBrush(QColor(232, 240, 250));
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c)
                p.drawRoundedRect(
                    QRectF(foglio.left() + l + c * (w + gx), foglio.top() + t + r * (h + gy), w, h), 4, 4);
        const double x0 = foglio.left() + l, y0 = foglio.top() + t;
        QPen quota(QColor(31, 78, 140), 1, Qt::DashLine);
        p.setPen(quota);
        p.drawLine(QPointF(x0 + w / 2, foglio.top()), QPointF(x0 + w / 2, y0));                      // LT
        p.drawLine(QPointF(foglio.left(), y0 + h / 2), QPointF(x0, y0 + h / 2));                     // LL
        p.drawLine(QPointF(x0, y0 - 8), QPointF(x0 + w, y0 - 8));                                    // LW
        p.drawLine(QPointF(x0 - 8, y0 + h + gy), QPointF(x0 - 8, y0 + 2 * h + gy));                  // LH
        p.drawLine(QPointF(x0 + w, y0 + h + 6), QPointF(x0 + w + gx, y0 + h + 6));                   // LR
        p.drawLine(QPointF(x0 + w + gx + w / 2, y0 + h), QPointF(x0 + w + gx + w / 2, y0 + h + gy)); // LD
        QFont f = font();
        f.setPointSize(7);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(31, 78, 140));
        p.drawText(QPointF(x0 + w / 2 + 3, foglio.top() + 22), QStringLiteral("LT"));
        p.drawText(QPointF(foglio.left() + 8, y0 + h / 2 - 3), QStringLiteral("LL"));
        p.drawText(QPointF(x0 + w / 2 - 6, y0 - 11), QStringLiteral("LW"));
        p.drawText(QPointF(x0 - 22, y0 + h + gy + h / 2 + 4), QStringLiteral("LH"));
        p.drawText(QPointF(x0 + w + 2, y0 + h + 16), QStringLiteral("LR"));
        p.drawText(QPointF(x0 + w + gx + w / 2 + 3, y0 + h + gy - 3), QStringLiteral("LD"));
    }
};

QLabel* testo(const QString& t, QWidget* parent) {
    return new QLabel(t, parent);
}

} // namespace

FrmEtichette::FrmEtichette(SharedValues& shared, QWidget* parent) : QDialog(parent), m_shared(shared) {
    setObjectName(QStringLiteral("FrmEtichette"));
    setWindowTitle(QStringLiteral("Configurazione Etichette Pettorali"));

    auto* pagina = new QGroupBox(QStringLiteral("Impostazione Pagina"), this);
    pagina->setObjectName(QStringLiteral("FraPagina"));
    pagina->setToolTip(
        QStringLiteral("Area di inserimento dei dati per l'impostazione della pagina delle etichette"));
    auto* grid = new QGridLayout(pagina);
    int riga = 0;
    for (const int i : kGiro) {
        const Box& b = kBox[size_t(i)];
        auto* box = new QLineEdit(pagina);
        box->setObjectName(QLatin1String(b.nome));
        box->setMaxLength(b.lunghezza);
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 6 + 12);
        box->setToolTip(QString::fromUtf8(b.suggerimento));
        box->installEventFilter(this);
        m_box[size_t(i)] = box;
        auto* label = testo(QString::fromUtf8(b.etichetta), pagina);
        label->setBuddy(box);
        grid->addWidget(label, riga, 0);
        grid->addWidget(box, riga, 1);
        if (b.decimale) {
            grid->addWidget(testo(QStringLiteral("mm"), pagina), riga, 2);
            grid->addWidget(testo(QStringLiteral("(%1)").arg(QLatin1String(kSigle[i])), pagina), riga, 3);
        }
        ++riga;
    }
    grid->addWidget(new Schizzo(pagina), 0, 4, riga, 1, Qt::AlignCenter);
    grid->setColumnStretch(3, 1);

    auto* prova = new QGroupBox(QStringLiteral("Area Test"), this);
    prova->setObjectName(QStringLiteral("FraTest"));
    auto* gridTest = new QGridLayout(prova);
    TxtTest = new QLineEdit(prova);
    TxtTest->setObjectName(QStringLiteral("TxtTest"));
    TxtTest->setToolTip(QStringLiteral("Testo da stampare"));
    TxtNumeroETest = new QLineEdit(prova);
    TxtNumeroETest->setObjectName(QStringLiteral("TxtNumeroETest"));
    TxtNumeroETest->setMaxLength(4);
    TxtNumeroETest->setFixedWidth(TxtNumeroETest->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 6 + 12);
    TxtNumeroETest->setToolTip(QStringLiteral("Numero di etichette da stampare"));
    ChkTestoTest = new QCheckBox(QStringLiteral("Incremento Testo"), prova);
    ChkTestoTest->setObjectName(QStringLiteral("ChkTestoTest"));
    ChkTestoTest->setToolTip(
        QString::fromUtf8("Attiva/Disattiva la possibilità di incrementare prograssivamente "
                          "il Testo di stampa ( se numerico)"));
    CmdTest = bottone(prova, QStringLiteral("CmdTest"), QStringLiteral("Test"));
    for (QWidget* w : {static_cast<QWidget*>(TxtTest), static_cast<QWidget*>(TxtNumeroETest),
                       static_cast<QWidget*>(ChkTestoTest)})
        w->installEventFilter(this);
    gridTest->addWidget(testo(QStringLiteral("Testo :"), prova), 0, 0);
    gridTest->addWidget(TxtTest, 0, 1);
    gridTest->addWidget(testo(QStringLiteral("Numero etichette :"), prova), 1, 0);
    gridTest->addWidget(TxtNumeroETest, 1, 1);
    gridTest->addWidget(ChkTestoTest, 2, 0, 1, 2);
    gridTest->addWidget(CmdTest, 0, 2, 3, 1, Qt::AlignCenter);
    gridTest->setColumnStretch(1, 1);

    PctLogo = new QLabel(this);
    PctLogo->setObjectName(QStringLiteral("PctLogo"));
    PctLogo->setPixmap(QPixmap::fromImage(LogoEtichetta()));
    PctLogo->setFixedSize(307, 49);
    CmdOK = bottone(this, QStringLiteral("CmdOK"), QStringLiteral("Salva"));
    CmdAnnulla = bottone(this, QStringLiteral("CmdAnnulla"), QStringLiteral("Annulla"));
    connect(CmdOK, &QPushButton::clicked, this, [this] { guarded([this] { CmdOK_Click(); }); });
    connect(CmdAnnulla, &QPushButton::clicked, this, &FrmEtichette::CmdAnnulla_Click);
    connect(CmdTest, &QPushButton::clicked, this, [this] { guarded([this] { CmdTest_Click(); }); });

    auto* basso = new QHBoxLayout;
    basso->addWidget(PctLogo);
    basso->addStretch();
    basso->addWidget(CmdOK);
    basso->addWidget(CmdAnnulla);
    auto* main = new QVBoxLayout(this);
    main->addWidget(pagina);
    main->addWidget(prova);
    main->addLayout(basso);
    setSizeGripEnabled(false);

    Form_Load();
}

void FrmEtichette::Form_Load() {
    const ParametriStampaEtichetta valori = LeggiParametriEtichetta(m_shared.iniPath());
    for (int i = 0; i < NumeroParametriEtichetta; ++i)
        m_box[size_t(i)]->setText(valori[size_t(i)]);
}

ParametriStampaEtichetta FrmEtichette::valoriBox() const {
    ParametriStampaEtichetta valori;
    for (int i = 0; i < NumeroParametriEtichetta; ++i)
        valori[size_t(i)] = m_box[size_t(i)]->text().trimmed();
    return valori;
}

void FrmEtichette::CmdOK_Click() {
    m_shared.IniFileName = m_shared.iniPath();
    m_shared.IniSection = kSezioneEtichetta;
    const ParametriStampaEtichetta valori = valoriBox();
    for (int i = 0; i < NumeroParametriEtichetta; ++i) {
        // An empty box keeps the stored value; the accessor refuses it without a word.
        const QString esito =
            IniReadWriteShown(QStringLiteral("WRITE"), m_shared.IniSection, ChiaviEtichetta()[size_t(i)],
                              m_shared.IniFileName, valori[size_t(i)]);
        if (esito.isEmpty())
            return; // the file failed and was shown: the form stays open with what was typed
    }
    accept();
}

void FrmEtichette::CmdAnnulla_Click() {
    reject();
}

void FrmEtichette::CmdTest_Click() {
    if (TxtNumeroETest->text().trimmed().isEmpty() || ValoreNumerico(TxtNumeroETest->text().trimmed()) == 0)
        TxtNumeroETest->setText(QStringLiteral("1"));
    const int codici = int(ValoreNumerico(TxtNumeroETest->text().trimmed()));
    const MisureEtichetta m = MisureEtichetta::da(valoriBox());
    if (const auto errore = ErroreMisure(m)) {
        MsgBox(*errore, vbExclamation);
        return;
    }
    StampaFoglioEtichette(m_shared,
                          EtichetteTest(TxtTest->text(), codici, m.perCodice, ChkTestoTest->isChecked()),
                          QStringLiteral("PETTORALE"), m, TipoEtichetta::TestRigaParziale);
}

bool FrmEtichette::tastoAccettato(QObject* box, const QString& testo) const {
    if (box == TxtTest || box == ChkTestoTest)
        return true;
    bool decimale = false;
    for (int i = 0; i < NumeroParametriEtichetta; ++i)
        if (box == m_box[size_t(i)])
            decimale = kBox[size_t(i)].decimale;
    for (const QChar c : testo) {
        const bool ok = c.isDigit() ? c.unicode() < 128 : (decimale && (c == u',' || c == u'.'));
        if (!ok)
            return false;
    }
    return true;
}

QWidget* FrmEtichette::dopoInvio(QObject* box) const {
    if (box == TxtTest)
        return TxtNumeroETest;
    if (box == TxtNumeroETest)
        return ChkTestoTest;
    if (box == ChkTestoTest)
        return m_box[Etichette_Linea];
    for (size_t k = 0; k < kGiro.size(); ++k)
        if (box == m_box[size_t(kGiro[k])])
            return m_box[size_t(kGiro[(k + 1) % kGiro.size()])];
    return nullptr;
}

bool FrmEtichette::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, &QLineEdit::selectAll); // after the click that placed the cursor
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (QWidget* next = dopoInvio(watched))
                next->setFocus(Qt::TabFocusReason);
            return true;
        }
        // Only a typed character must be one the box takes. Editing and moving keys either
        // carry no text (arrows, Home, End) or a control code (Tab, Backspace, Delete, Esc):
        // they keep their usual meaning.
        const QString t = key->text();
        const bool tipo =
            !t.isEmpty() && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
            std::none_of(t.begin(), t.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
        if (tipo && !tastoAccettato(watched, t))
            return true;
        if (!tipo && key->matches(QKeySequence::Paste) && !tastoAccettato(watched, QStringLiteral("x")))
            return true; // pasted text would bypass the key rules
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zar
