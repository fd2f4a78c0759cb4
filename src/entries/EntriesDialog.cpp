#include "entries/EntriesDialog.h"

#include "entries/PannelloSelezione.h"
#include "frame/IniAccess.h"
#include "frame/SharedValues.h"

#include <QBoxLayout>
#include <QGroupBox>

#include <QLabel>
#include <QPushButton>

namespace zar {

void EntriesDialog::done(int result) {
    m_shared.rsIscrizioni.reset();
    m_shared.rsConduttori.reset();
    m_shared.rsCani.reset();
    QDialog::done(result);
}

void EntriesDialog::disponiSelezione(PannelloSelezione* pannello, QLayout* accanto, QWidget* logo,
                                     QPushButton* stampa, QPushButton* chiudi) {
    auto* count = new QHBoxLayout;
    count->addWidget(pannello->etichettaNumero);
    count->addWidget(pannello->LblNumRecords);
    if (accanto) {
        count->addSpacing(30);
        count->addLayout(accanto, 1);
    } else {
        count->addStretch();
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(logo);
    buttons->addStretch();
    buttons->addWidget(stampa);
    buttons->addWidget(chiudi);
    auto* main = new QVBoxLayout(this);
    main->addWidget(pannello->fra_ci);
    main->addLayout(count);
    main->addWidget(pannello->LstInsRisultati, 1);
    main->addLayout(buttons);
}

QPushButton* bottone(QWidget* parent, const QString& name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLabel* etichettaValore(QWidget* parent, const QString& name, int minimumWidth) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::StyledPanel);
    l->setMinimumWidth(minimumWidth);
    return l;
}

void LeggiUltimaGara(SharedValues& shared) {
    shared.IniFileName = shared.iniPath();
    shared.IniSection = QStringLiteral("Ultima Gara");
    shared.UltimaGara = IniReadWriteShown(QStringLiteral("GET"), shared.IniSection,
                                          QStringLiteral("Codice_Gara"), shared.IniFileName);
}

} // namespace zar
