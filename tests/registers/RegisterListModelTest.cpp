#include "registers/RegisterListModel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

using namespace zar;

TEST(RegisterListModelTest, KeepsEachCellApartAndIsReplacedAsAWhole) {
    RegisterListModel model({"A", "B", "C"});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto set = [&](const QList<QStringList>& rows) {
        RegisterListModel::Rows out;
        out.reserve(rows.size(), 3);
        for (const QStringList& row : rows)
            for (const QString& cell : row)
                out.add(cell);
        model.setRows(std::move(out));
        QList<QStringList> shown;
        for (int r = 0; r < model.rowCount(); ++r)
            shown << QStringList{model.text(r, 0), model.text(r, 1), model.text(r, 2)};
        EXPECT_EQ(shown, rows);
    };
    // Empty cells, first and last, and texts that would run together if joined.
    set({{"", "AB", ""}, {"A", "B", "città"}, {"", "", ""}, {"x", "", "y"}});
    EXPECT_EQ(model.data(model.index(1, 2)).toString(), "città");
    EXPECT_EQ(model.data(model.index(1, 2), Qt::ToolTipRole).toString(), "città");
    EXPECT_FALSE(model.data(model.index(1, 2), Qt::EditRole).isValid());
    EXPECT_EQ(model.text(4, 0), QString());
    EXPECT_EQ(model.text(1, 3), QString());
    set({{"K", "L", "M"}});
    set({});
}
