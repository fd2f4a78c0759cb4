#include "registers/RegisterListModel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

using namespace zar;

namespace {

RegisterListModel::Rows rowsOf(const QList<QStringList>& rows) {
    RegisterListModel::Rows out;
    out.reserve(rows.size(), 3);
    for (const QStringList& row : rows) {
        for (const QString& cell : row)
            out.add(cell);
    }
    return out;
}

QList<QStringList> shown(const RegisterListModel& m) {
    QList<QStringList> out;
    for (int r = 0; r < m.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < m.columnCount(); ++c)
            row << m.data(m.index(r, c)).toString();
        out << row;
    }
    return out;
}

} // namespace

TEST(RegisterListModelTest, KeepsEachCellApartAndIsReplacedAsAWhole) {
    RegisterListModel model({"A", "B", "C"});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.text(0, 0), QString());

    // Empty cells, first and last, and texts that would run together if joined.
    const QList<QStringList> first = {{"", "AB", ""}, {"A", "B", "città"}, {"", "", ""}, {"x", "", "y"}};
    model.setRows(rowsOf(first));
    EXPECT_EQ(shown(model), first);
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "C");

    // Both sides of each edge of the rows.
    EXPECT_EQ(model.text(3, 2), "y");
    EXPECT_EQ(model.text(4, 0), QString());
    EXPECT_EQ(model.text(-1, 0), QString());
    EXPECT_EQ(model.text(1, 0), "A");
    EXPECT_EQ(model.text(1, -1), QString());
    EXPECT_EQ(model.text(1, 3), QString());
    EXPECT_EQ(model.data(model.index(1, 2), Qt::ToolTipRole).toString(), "città");
    EXPECT_FALSE(model.data(model.index(1, 2), Qt::EditRole).isValid());

    const QList<QStringList> second = {{"K", "L", "M"}};
    model.setRows(rowsOf(second));
    EXPECT_EQ(shown(model), second);
    model.setRows({});
    EXPECT_EQ(model.rowCount(), 0);
}
