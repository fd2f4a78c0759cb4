#pragma once

#include "entries/EntriesDialog.h"
#include "entries/ListaIscritti.h"
#include "frame/PickTarget.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace zar {

struct SharedValues;

// The entries form: enters dogs with their handlers into one competition.
class frmIscrizione : public EntriesDialog, public PickTarget {
    Q_OBJECT
public:
    // Runs the opening: the competitions register in pick mode, then the list.
    explicit frmIscrizione(SharedValues& shared, QWidget* parent = nullptr);

    void riceviConduttore(const QString& codiceFiscale, const QString& cognome, const QString& nome,
                          const QString& tesseraCIS) override;
    void riceviCane(const QString& microchip, const QString& nomeCane, const QString& razza,
                    const QString& taglia) override;
    void riceviGara(const QString& codiceGara, const QString& gara, const QString& localita,
                    const QString& giudice, const QString& data) override;

    int NumPettorale() const { return NumPettorale_; }
    ListaIscritti* lista() const { return LvwIscritti; }

    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void cmdClose_Click();
    void cmdPettorale_Click();
    void LvwIscritti_DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    enum class Ordine { Pettorale, Database };
    void LoadIscritti(Ordine ordine);
    void ClearFields();
    void Txt_Field_LostFocus(int indice);
    void Txt_Field_GotFocus(int indice);
    void Txt_Pettorale_Enter();
    QString codiceGara() const; // trimmed caption of Lbl_CodiceGara

    int NumPettorale_ = 0;
    QString PettoraleSelezionato;
    bool m_tuttiLeGare = true; // the list shows every competition until the register returns

    QLabel* Lbl_CodiceGara;
    QLabel* Lbl_Gara;
    QLabel* Lbl_Localita;
    QLabel* Lbl_Giudice;
    QLabel* Lbl_Data;
    std::array<QLineEdit*, 7> Txt_Field{};
    std::array<QComboBox*, 3> Cmb_Field{};
    QLineEdit* Txt_Pettorale;
    QPushButton* cmdPettorale;
    QCheckBox* Chk_StampaPet;
    QPushButton* cmdSave;
    QPushButton* cmdCancel;
    QPushButton* cmdDelete;
    QPushButton* cmdClose;
    ListaIscritti* LvwIscritti;
    QLabel* LblNumRecords;
};

} // namespace zar
