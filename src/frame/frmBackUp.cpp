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
#include <QScrollBar>
#include <QStorageInfo>
#include <QTimer>
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
    // Connected ahead of the list's own selection model: when the chosen folder goes away,
    // the list moves its current row to a neighbour, which is no choice of the user's.
    connect(m_folders, &QFileSystemModel::rowsAboutToBeRemoved, this, [this] { m_listMoving = true; });
    connect(m_folders, &QFileSystemModel::rowsRemoved, this, &frmBackUp::folderRowsRemoved);
    dirlist = new QTreeView(this);
    dirlist->setObjectName(QStringLiteral("dirlist"));
    dirlist->setModel(m_folders);
    dirlist->setHeaderHidden(true);
    dirlist->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        dirlist->hideColumn(column);
    dirlist->setMinimumSize(300, 240);
    connect(dirlist->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &frmBackUp::currentFolderChanged);
    // A click that only takes the selection away (Ctrl) leaves the chosen folder selected.
    connect(dirlist->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        QItemSelectionModel* selection = dirlist->selectionModel();
        const QModelIndex current = dirlist->currentIndex();
        if (!m_listMoving && !m_choosing && !selection->hasSelection() && current.isValid())
            selection->select(current, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    });
    // A folder closed over the chosen one takes its place, so that the choice stays in sight.
    connect(dirlist, &QTreeView::collapsed, this, [this](const QModelIndex& folder) {
        QString prefix = m_folders->filePath(folder);
        if (!prefix.endsWith(QLatin1Char('/')))
            prefix += QLatin1Char('/');
        if (m_chosen.startsWith(prefix))
            dirlist->setCurrentIndex(folder);
    });
    // The folders are read in the background, and each batch read moves the rows: the chosen
    // folder is brought back into view after the list has taken in each change.
    m_showChosen = new QTimer(this);
    m_showChosen->setSingleShot(true);
    m_showChosen->setInterval(0);
    connect(m_showChosen, &QTimer::timeout, this, &frmBackUp::showChosen);
    const auto later = [this] {
        if (m_keepInView)
            m_showChosen->start();
    };
    connect(m_folders, &QFileSystemModel::rowsInserted, this, later);
    connect(m_folders, &QFileSystemModel::layoutChanged, this, later);
    connect(m_folders, &QFileSystemModel::directoryLoaded, this, later);
    for (QObject* part : {static_cast<QObject*>(dirlist), static_cast<QObject*>(dirlist->viewport()),
                          static_cast<QObject*>(dirlist->verticalScrollBar()),
                          static_cast<QObject*>(dirlist->horizontalScrollBar())})
        part->installEventFilter(this);

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

    Form_Load();
    connect(drivelist, &QComboBox::currentIndexChanged, this, &frmBackUp::drivelist_Change);
    connect(cmdSave, &QPushButton::clicked, this, &frmBackUp::cmdSave_Click);
    connect(Command1, &QPushButton::clicked, this, &frmBackUp::Command1_Click);
    m_template = openTemplateAhead(m_shared);
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

void frmBackUp::setDirlistPath(const QString& path) {
    const QModelIndex index = m_folders->index(path);
    choose(index.isValid() ? m_folders->filePath(index) : path);
    m_keepInView = true;
    if (!index.isValid()) {
        m_choosing = true;
        dirlist->selectionModel()->clear();
        m_choosing = false;
        return;
    }
    showChosen();
}

void frmBackUp::showChosen() {
    const QModelIndex index = m_folders->index(m_chosen);
    if (!m_keepInView || !index.isValid())
        return;
    m_choosing = true;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) {
        if (!dirlist->isExpanded(up))
            dirlist->expand(up);
    }
    if (dirlist->currentIndex() != index || !dirlist->selectionModel()->isSelected(index))
        dirlist->setCurrentIndex(index);
    m_choosing = false;
    dirlist->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

// The volume is taken now: the drive may be unmounted before Save, leaving its mount point.
void frmBackUp::choose(const QString& path) {
    m_chosen = path;
    m_chosenVolume = QStorageInfo(path).rootPath();
}

void frmBackUp::currentFolderChanged(const QModelIndex& current) {
    if (!m_listMoving && !m_choosing && current.isValid())
        choose(m_folders->filePath(current));
}

// The list shows nothing selected rather than a neighbour the user never chose.
void frmBackUp::folderRowsRemoved() {
    m_listMoving = false;
    if (m_folders->filePath(dirlist->currentIndex()) != m_chosen) {
        m_choosing = true;
        dirlist->selectionModel()->clear();
        m_choosing = false;
    }
}

void frmBackUp::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_keepInView)
        m_showChosen->start();
}

// The user moving in the list takes it over from the form.
bool frmBackUp::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        m_keepInView = false;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmBackUp::cmdSave_Click() {
    save(m_chosen, m_chosenVolume);
}

void frmBackUp::save(const QString& folder, const QString& volume) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const BackupOutcome outcome = backUpDatabase(m_shared, folder, volume, &m_template);
    QApplication::restoreOverrideCursor();
    if (!outcome.copyError.isEmpty())
        qWarning("backup: %s", qPrintable(outcome.copyError));
    if (!outcome.folderError.isEmpty())
        MsgBox(QStringLiteral("NO Backup\n\n") + outcome.folderError, vbInformation);
    else if (!outcome.templateError.isEmpty())
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
    if (!m_template.valid()) // for a further backup
        m_template = openTemplateAhead(m_shared);
}

void frmBackUp::Command1_Click() {
    reject();
}

void showFrmBackUp(SharedValues& shared, QWidget* parent) {
    mostra<frmBackUp>(shared.frmBackUp, shared, parent);
}

} // namespace zar
