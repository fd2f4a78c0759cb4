#include "entries/EntriesDialog.h"

#include "frame/IniAccess.h"
#include "frame/SharedValues.h"

#include <QLabel>
#include <QPushButton>

namespace zar {

void EntriesDialog::done(int result) {
    m_shared.rsIscrizioni.reset();
    m_shared.rsConduttori.reset();
    m_shared.rsCani.reset();
    QDialog::done(result);
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
