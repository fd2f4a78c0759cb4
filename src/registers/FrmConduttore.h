#pragma once

#include "registers/RegisterForm.h"

#include <array>

namespace zar {

// The handlers register: TblConduttori, key CodiceFiscale.
class FrmConduttore : public RegisterForm {
public:
    enum Colonna { ColCodiceFiscale, ColCognomeNome, ColCodiceCIS };

    explicit FrmConduttore(SharedValues& shared, QWidget* parent = nullptr);

    std::array<FieldText*, 11> Txt_Field{}; // the last one holds the notes
    QComboBox* combo_Sesso = nullptr;

protected:
    std::unique_ptr<Recordset>& listSet() override;
    QStringList listFields() const override;
    void listRow(const Recordset& rs, const std::vector<int>& fields,
                 RegisterListModel::Rows& out) const override;
    void loadRecord(const Recordset& rs, bool byDoubleClick) override;
    void writeRecord(Recordset& rs, const QString& key) override;
    bool checkFields() override;
    QString keyChangeMessage() const override;
    QString keyForDeleteCheck() const override;
    void restoreKeyLabel() override;
    void handBackRecord(const Recordset& rs) override;
    void handBackBoxes(const QString& key) override;

private:
    bool numericBox(int index, const QString& text, const QString& title);
    void cmdIscriz_Click();
};

} // namespace zar
