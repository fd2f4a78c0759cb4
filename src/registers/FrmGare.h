#pragma once

#include "registers/RegisterForm.h"

#include <QDate>

#include <array>
#include <functional>

namespace zar {

// The competitions register: TblGare, key CodiceGara built from the date and the place.
class FrmGare : public RegisterForm {
public:
    enum Colonna { ColCodiceGara, ColGara, ColLocalita, ColData };

    explicit FrmGare(SharedValues& shared, QWidget* parent = nullptr);

    // Where today's date comes from (the date box's default); the clock unless set.
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }

    std::array<FieldText*, 5> Txt_Field{}; // the last one holds the notes

protected:
    std::unique_ptr<Recordset>& listSet() override;
    QStringList listFields() const override;
    void loadRecord(const Recordset& rs, bool byDoubleClick) override;
    void writeRecord(Recordset& rs, const QString& key) override;
    bool checkFields() override;
    QString newKey() const override;
    QString loadedKey() const override;
    QString keyChangeMessage() const override;
    QString keyForDeleteCheck() const override;
    void restoreKeyLabel() override;
    void handBackRecord(const Recordset& rs) override;
    void handBackBoxes(const QString& key) override;
    void boxEntered(int index) override;
    void boxLeft(int index) override;
    bool boxKey(int index, QKeyEvent* e) override;
    void search(const QString& typed) override;

private:
    void ProponiUltimaGara();
    void showCode(const QString& code);

    QString CodiceGaraCalcolato;
    int RispostaUltimaGara = 0;
    bool m_loadingFromLookUp = false;
    std::function<QDate()> m_today = [] { return QDate::currentDate(); };
};

} // namespace zar
