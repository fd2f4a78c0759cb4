#pragma once

#include "registers/RegisterForm.h"

#include <array>

namespace zar {

// The dogs register: TblCani, key Microchip.
class FrmCane : public RegisterForm {
public:
    enum Colonna { ColMicrochip, ColNomeCane, ColRazza };

    explicit FrmCane(SharedValues& shared, QWidget* parent = nullptr);

    // The entries form puts the chip it could not find into the key box before showing.
    void setMicrochip(const QString& chip);

    std::array<FieldText*, 5> Txt_Field{}; // the last one holds the notes
    QComboBox* Cmb_Taglia = nullptr;

protected:
    std::unique_ptr<Recordset>& listSet() override;
    QStringList listFields() const override;
    void loadRecord(const Recordset& rs, bool byDoubleClick) override;
    void writeRecord(Recordset& rs, const QString& key) override;
    bool checkFields() override;
    QString keyChangeMessage() const override;
    QString keyForDeleteCheck() const override;
    void restoreKeyLabel() override;
    void handBackRecord(const Recordset& rs) override;
    void handBackBoxes(const QString& key) override;

private:
    void cmdIscriz_Click();
};

} // namespace zar
