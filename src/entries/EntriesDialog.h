#pragma once

#include <QDialog>

class QLabel;
class QLayout;
class QPushButton;

namespace zar {

class PannelloSelezione;
struct SharedValues;

// The base of the entries and scores forms: every way of closing (Chiudi, Esc, the close
// box) releases the shared record sets of entries, handlers and dogs.
class EntriesDialog : public QDialog {
public:
    void done(int result) override;

protected:
    EntriesDialog(SharedValues& shared, QWidget* parent) : QDialog(parent), m_shared(shared) {}

    // Lays out a form of the selection panel: the panel's boxes, the entry count (then
    // `accanto`, when given), the list, and a last row of the logo and the two buttons.
    void disponiSelezione(PannelloSelezione* pannello, QLayout* accanto, QWidget* logo, QPushButton* stampa,
                          QPushButton* chiudi);

    SharedValues& m_shared;
};

// A button that Enter never presses: Enter belongs to the boxes.
QPushButton* bottone(QWidget* parent, const QString& name, const QString& text);
// A framed label that shows a value.
QLabel* etichettaValore(QWidget* parent, const QString& name, int minimumWidth);
// Reads the last competition worked on into the shared values (IniFileName, IniSection, UltimaGara).
void LeggiUltimaGara(SharedValues& shared);

} // namespace zar
