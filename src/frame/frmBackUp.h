#pragma once

#include <QDialog>

#include <array>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace zar {

struct SharedValues;

// Copies the database to a folder the user picks, as "ZAR_BackUP.mdb".
class frmBackUp : public QDialog {
    Q_OBJECT
public:
    explicit frmBackUp(SharedValues& shared, QWidget* parent = nullptr);

    void Form_Load();
    void drivelist_Change();
    void cmdSave_Click();
    void Command1_Click();
    // Backs up to the folder and tells the outcome; closes the form when the database
    // could not be opened again.
    void save(const QString& folder);

    // The folder chosen in the folder list.
    QString dirlistPath() const;
    void setDirlistPath(const QString& path);

    std::array<QLabel*, 2> Label1{};
    QComboBox* drivelist;
    QTreeView* dirlist;
    QPushButton* cmdSave;
    QPushButton* Command1;

private:
    SharedValues& m_shared;
    QFileSystemModel* m_folders;
    QString m_shownPath; // kept in view while its parent folders are still being read
};

// Shows the backup form modally, creating it on first use; released on close. When the
// database could not be opened again afterwards, shared.dbGare is left unset.
void showFrmBackUp(SharedValues& shared, QWidget* parent);

} // namespace zar
