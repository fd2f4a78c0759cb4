#include "frame/frmBackUp.h"

#include "frame/BackUp.h"
#include "frame/MostraForm.h"
#include "frame/SharedValues.h"
#include "platform/MsgBox.h"

#include <QApplication>
#include <QComboBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace zar {

frmBackUp::frmBackUp(SharedValues& shared, QWidget* parent)
    : QDialog(parent), m_shared(shared), m_folders(new QFileSystemModel(this)) {
    setObjectName(QStringLiteral("frmBackUp"));
    setWindowTitle(QStringLiteral(" Back Up Database"));

    const char* captions[] = {"Disco:", "Direttori:"};
    for (size_t i = 0; i < Label1.size(); ++i) {
        Label1[i] = new QLabel(QString::fromUtf8(captions[i]), this);
        Label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    }
    drivelist = new QComboBox(this);
    drivelist->setObjectName(QStringLiteral("drivelist"));

    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folders->setRootPath(QStringLiteral("/"));
    dirlist = new QTreeView(this);
    dirlist->setObjectName(QStringLiteral("dirlist"));
    dirlist->setModel(m_folders);
    dirlist->setHeaderHidden(true);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        dirlist->hideColumn(column);
    dirlist->setMinimumSize(300, 240);

    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    Command1 = new QPushButton(QStringLiteral("&Close"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    for (QPushButton* button : {cmdSave, Command1})
        button->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->addWidget(Label1[0], 0, 0);
    grid->addWidget(drivelist, 1, 0);
    grid->addWidget(Label1[1], 2, 0);
    grid->addWidget(dirlist, 3, 0);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdSave);
    buttons->addWidget(Command1);
    buttons->addStretch();
    grid->addLayout(buttons, 1, 1, 3, 1);

    // The folders are read in the background: the chosen one is brought into view once
    // its parents are read, unless the user has moved on.
    connect(m_folders, &QFileSystemModel::directoryLoaded, this, [this](const QString& folder) {
        const QModelIndex current = dirlist->currentIndex();
        if (!m_shownPath.isEmpty() && m_folders->filePath(current) == m_shownPath &&
            m_shownPath.startsWith(folder))
            dirlist->scrollTo(current, QAbstractItemView::PositionAtCenter);
    });
    Form_Load();
    connect(drivelist, &QComboBox::currentIndexChanged, this, &frmBackUp::drivelist_Change);
    connect(cmdSave, &QPushButton::clicked, this, &frmBackUp::cmdSave_Click);
    connect(Command1, &QPushButton::clicked, this, &frmBackUp::Command1_Click);
}

// Both lists start where the program is, as the user last found it.
void frmBackUp::Form_Load() {
    QStringList roots = backupVolumes();
    const QString here = QStorageInfo(m_shared.programFolder).rootPath();
    if (!here.isEmpty() && !roots.contains(here))
        roots << here;
    for (const QString& root : roots) {
        const QString name = QStorageInfo(root).displayName();
        drivelist->addItem(name.isEmpty() || name == root ? root : QStringLiteral("%1  (%2)").arg(name, root),
                           root);
    }
    drivelist->setCurrentIndex(std::max(0, int(roots.indexOf(here))));
    setDirlistPath(m_shared.programFolder);
}

void frmBackUp::drivelist_Change() {
    setDirlistPath(drivelist->currentData().toString());
}

QString frmBackUp::dirlistPath() const {
    const QModelIndex current = dirlist->currentIndex();
    return current.isValid() ? m_folders->filePath(current) : drivelist->currentData().toString();
}

void frmBackUp::setDirlistPath(const QString& path) {
    const QModelIndex index = m_folders->index(path);
    if (!index.isValid())
        return;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        dirlist->expand(up);
    dirlist->setCurrentIndex(index);
    m_shownPath = m_folders->filePath(index);
    dirlist->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void frmBackUp::cmdSave_Click() {
    save(dirlistPath());
}

void frmBackUp::save(const QString& folder) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const BackupOutcome outcome = backUpDatabase(m_shared, folder);
    QApplication::restoreOverrideCursor();
    if (!outcome.copyError.isEmpty())
        qWarning("backup: %s", qPrintable(outcome.copyError));
    if (!outcome.templateError.isEmpty())
        MsgBox(QStringLiteral("NO Backup\n\nIl database vuoto non si può aprire:\n%1")
                   .arg(outcome.templateError),
               vbExclamation);
    else
        MsgBox(outcome.copied ? QStringLiteral("Backup successful") : QStringLiteral("NO Backup"),
               vbInformation);
    if (!outcome.reopenError.isEmpty()) {
        // Without its database the program cannot go on: the caller ends it.
        MsgBox(QStringLiteral("Il database non si può riaprire:\n%1\n\nIl programma termina.")
                   .arg(outcome.reopenError),
               vbCritical);
        reject();
        return;
    }
    drivelist->setFocus();
}

void frmBackUp::Command1_Click() {
    reject();
}

void showFrmBackUp(SharedValues& shared, QWidget* parent) {
    mostra<frmBackUp>(shared.frmBackUp, shared, parent);
}

} // namespace zar
