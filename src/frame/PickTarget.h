#pragma once

#include <QString>

namespace zar {

// What a register in pick mode writes into the entries form before it closes.
class PickTarget {
public:
    virtual ~PickTarget() = default;
    // Handler boxes Txt_Field(0..3): fiscal code, surname, first name, card number.
    virtual void riceviConduttore(const QString& codiceFiscale, const QString& cognome, const QString& nome,
                                  const QString& tesseraCIS) = 0;
    // Dog boxes Txt_Field(4..6) and the size combo Cmb_Field(0): chip, name, breed, size.
    virtual void riceviCane(const QString& microchip, const QString& nomeCane, const QString& razza,
                            const QString& taglia) = 0;
    // Competition labels Lbl_CodiceGara, Lbl_Gara, Lbl_Localita, Lbl_Giudice, Lbl_Data.
    virtual void riceviGara(const QString& codiceGara, const QString& gara, const QString& localita,
                            const QString& giudice, const QString& data) = 0;
};

} // namespace zar
