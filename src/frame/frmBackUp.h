#pragma once

#include "frame/BackUp.h"

#include <QDialog>

#include <array>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QTimer;
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
    // Backs up to the folder, chosen on the volume whose root is `volume`, and tells the
    // outcome; closes the form when the database could not be opened again.
    void save(const QString& folder, const QString& volume);

    // The folder that "&Save" writes into: the one chosen in the folder list, held by its
    // path, so that the list's moves never change it.
    QString dirlistPath() const { return m_chosen; }
    // Chooses the folder, selects it in the list and keeps it in view while the list is
    // still being read, until the user moves in the list.
    void setDirlistPath(const QString& path);

    std::array<QLabel*, 2> Label1{};
    QComboBox* drivelist;
    QTreeView* dirlist;
    QPushButton* cmdSave;
    QPushButton* Command1;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose(const QString& path);
    void currentFolderChanged(const QModelIndex& current);
    void folderRowsRemoved();
    void showChosen();

    SharedValues& m_shared;
    QFileSystemModel* m_folders;
    QString m_chosen;
    QString m_chosenVolume;     // the root of the volume m_chosen was on when chosen
    bool m_keepInView = false;  // until the user scrolls, clicks or types in the list
    bool m_listMoving = false;  // rows are going: the list's own current-row moves are no choice
    bool m_choosing = false;    // the form itself is selecting
    QTimer* m_showChosen;       // after the list's own updates
    TemplateOpening m_template; // opened while the user picks a folder
};

// Shows the backup form modally, creating it on first use; released on close. When the
// database could not be opened again afterwards, shared.dbGare is left unset.
void showFrmBackUp(SharedValues& shared, QWidget* parent);

} // namespace zar
