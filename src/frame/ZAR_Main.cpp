#include "frame/ZAR_Main.h"

#include "frame/Forms.h"
#include "frame/LimitaAvvio.h"
#include "frame/Pictures.h"
#include "frame/frmAbout.h"
#include "frame/frmBackUp.h"
#include "frame/frmChangePassword.h"
#include "frame/frmSplash.h"
#include "platform/ContextHelp.h"
#include "platform/Guarded.h"
#include "platform/Modal.h"
#include "platform/MsgBox.h"
#include "platform/PrinterSetup.h"
#include "platform/Shell.h"
#include "platform/SingleInstance.h"
#include "registers/PickLaunchers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace zar {

namespace {

// Sizes of the shortcut bar in pixels (1 pixel = 15 twips).
constexpr int kBarWidth = 217;
constexpr int kFrameLeft = 32;
constexpr int kFrameWidth = 185;
constexpr int kFrameHeight = 633;
constexpr int kButtonLeft = 8;
constexpr int kButtonWidth = 169;
constexpr int kButtonHeight = 49;
constexpr int kButtonStep = 56;
constexpr int kTopFirst = 16;     // top of the first tab button of the upper group
constexpr int kBottomFirst = 408; // top of "Configurazione" when it stands in the lower group
constexpr int kShortcutStep = 78;

// The grey work area with its background picture. The picture is loaded only when the
// window is first usable, so that the locked window behind the login costs little.
class Background : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(128, 128, 128));
        if (!window()->isEnabled() && m_picture.isNull())
            return;
        if (m_picture.isNull())
            m_picture = picture(QStringLiteral("sfondo"));
        if (m_scaled.size() != size())
            m_scaled = m_picture.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        p.drawPixmap(0, 0, m_scaled);
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::EnabledChange)
            update();
        QWidget::changeEvent(event);
    }

private:
    QPixmap m_picture;
    QPixmap m_scaled;
};

struct Tab {
    const char* name;
    const char* caption;
    const char* picture;
};
constexpr std::array<Tab, 5> kTabs{{{"CmdGare", "&Gare", "tab_gare"},
                                    {"CmdConfig", "&Configurazione", "tab_config"},
                                    {"CmdStamp", "&Stampe", "tab_stampe"},
                                    {"CmdUtil", "&Utility", "tab_util"},
                                    {"CmdHelp", "&Help", "tab_help"}}};

// The shortcuts of the panels: icon and caption run a menu item.
struct Shortcut {
    int panel;
    const char* imgName;
    const char* lblName;
    const char* picture;
    const char* caption;
    const char* menuItem;
};
constexpr std::array<Shortcut, 13> kShortcuts{{
    {0, "Img_Iscrizione", "LblIscrizione", "iscrizione", "&Iscrizione", "mnIscrizioni"},
    {0, "Img_Classifica", "LblClassifica", "classifica", "&Classifica", "mnPunteggi"},
    {1, "img_AddNewItemOfJewelry", "Label12", "gare", "Gare", "mnGare"},
    {1, "imgCndt", "LblCndt", "conduttori", "Conduttori", "mnConduttori"},
    {1, "img_Cani", "LblCani", "cani", "Cani", "mnCani"},
    {2, "ImgPtt", "LblPtt", "pettorali", "Pettorali", "mnPettorali"},
    {2, "ImgOrd", "LblOrd", "ordine", "Ordine Partenza", "mnOrdinePartenze"},
    {2, "ImgClss", "LblClss", "classrep", "Classifica", "mnClassifiche"},
    {2, "ImgIscr", "LblIscr", "iscritti", "Iscritti", "mnIscritti"},
    {3, "img_BackUP", "LblBackup", "backup", "BackUp Database", "mnBackUp"},
    {3, "Img_Sncr", "LblSncr", "sincro", "Sincronizzazione DB", "mnSincronizzazione"},
    {3, "img_ChangePassword", "Lbl_ChangePassword", "password", "Cambio Password", "mnCambioPassword"},
    {4, "Img_About", "LblAbout", "about", "About the System", "mnAboutZAR"},
}};

void addShortcut(QFrame* frame, int slot, const Shortcut& shortcut, QAction* action) {
    // The shortcuts stand in the open section between the upper and the lower tab buttons.
    const int top = kTopFirst + (shortcut.panel + 1) * kButtonStep + 12 + slot * kShortcutStep;
    const QString caption = QString::fromLatin1(shortcut.caption);
    auto* icon = new ClickLabel(frame);
    icon->setObjectName(QLatin1String(shortcut.imgName));
    QPixmap pix = picture(QLatin1String(shortcut.picture));
    pix.setDevicePixelRatio(pix.width() / 32.0);
    icon->setPixmap(pix);
    icon->setGeometry((kFrameWidth - 32) / 2, top, 32, 32);
    icon->setCursor(Qt::PointingHandCursor);
    auto* label = new ClickLabel(caption, frame);
    label->setObjectName(QLatin1String(shortcut.lblName));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(0, top + 34, kFrameWidth, 20);
    label->setCursor(Qt::PointingHandCursor);
    if (caption.contains(QLatin1Char('&')))
        label->setBuddy(icon);
    QObject::connect(icon, &ClickLabel::clicked, action, &QAction::trigger);
    QObject::connect(label, &ClickLabel::clicked, action, &QAction::trigger);
}

// Every panel holds a copy of each tab button, so at start (all panels shown) each access
// key belongs to five buttons at once; any copy does the same, so the key presses one.
class TabButton : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Shortcut) {
            animateClick();
            return true;
        }
        return QToolButton::event(event);
    }
};

} // namespace

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    // A click is the left button let go over the label; a right click or a press dragged
    // away runs nothing.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

ZAR_Main::ZAR_Main(const QString& programFolder, SingleInstance& instance, Construction construction,
                   QWidget* parent)
    : QMainWindow(parent), m_instance(instance), m_help(new ContextHelp(this)) {
    m_shared.programFolder = programFolder;
    m_shared.IniFileName = m_shared.iniPath();
    m_shared.registriPick = {pickFrmGare, pickFrmConduttore, pickFrmCane};
    setObjectName(QStringLiteral("ZAR_Main"));
    setWindowTitle(QStringLiteral("ZAR Gestione Gare"));

    buildWorkArea();
    resize(1024, 740);
    if (construction == Construction::Complete)
        completeWindow();
}

ZAR_Main::~ZAR_Main() = default;

QString ZAR_Main::versionText() {
    return QStringLiteral("%1.%2.%3").arg(ZAR_VERSION_MAJOR).arg(ZAR_VERSION_MINOR).arg(ZAR_VERSION_PATCH);
}

QString ZAR_Main::versionLine(const QString& version) {
    return QStringLiteral("Versione ") + version;
}

QMenu* ZAR_Main::addMenu(QWidget* parentMenu, const QString& name, const QString& caption, int helpContext) {
    QMenu* menu = nullptr;
    if (auto* bar = qobject_cast<QMenuBar*>(parentMenu))
        menu = bar->addMenu(caption);
    else
        menu = static_cast<QMenu*>(parentMenu)->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    ContextHelp::setContextId(menu->menuAction(), helpContext);
    return menu;
}

QAction* ZAR_Main::addItem(QMenu* menu, const QString& name, const QString& caption, int helpContext) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    ContextHelp::setContextId(action, helpContext);
    return action;
}

QAction* ZAR_Main::menuItem(const QString& name) const {
    return menuBar()->findChild<QAction*>(name);
}

void ZAR_Main::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    auto separator = [](QMenu* menu, const QString& name) { menu->addSeparator()->setObjectName(name); };
    auto wire = [this](QAction* action, void (ZAR_Main::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };

    QMenu* file = addMenu(bar, QStringLiteral("mnFile"), QStringLiteral("File"), 650);
    QMenu* reg = addMenu(file, QStringLiteral("mnRegistrazione"), QStringLiteral("Registrazione"), 620);
    wire(addItem(reg, QStringLiteral("mnIscrizioni"), QStringLiteral("Iscrizioni"), 600),
         &ZAR_Main::mnIscrizioni_Click);
    wire(addItem(reg, QStringLiteral("mnPunteggi"), QStringLiteral("Punteggi"), 610),
         &ZAR_Main::mnPunteggi_Click);
    separator(file, QStringLiteral("line1File"));
    wire(addItem(file, QStringLiteral("mnuFileSta"), QStringLiteral("Impostazione Stampante"), 630),
         &ZAR_Main::mnuFileSta_Click);
    separator(file, QStringLiteral("Line7"));
    wire(addItem(file, QStringLiteral("mnExit"), QStringLiteral("Exit"), 640), &ZAR_Main::mnExit_Click);

    QMenu* stampe = addMenu(bar, QStringLiteral("mnStampe"), QStringLiteral("Stampe"), 700);
    wire(addItem(stampe, QStringLiteral("mnPettorali"), QStringLiteral("Pettorali"), 660),
         &ZAR_Main::mnPettorali_Click);
    wire(addItem(stampe, QStringLiteral("mnOrdinePartenze"), QStringLiteral("Ordine Partenza"), 670),
         &ZAR_Main::mnOrdinePartenze_Click);
    wire(addItem(stampe, QStringLiteral("mnClassifiche"), QStringLiteral("Classifiche"), 680),
         &ZAR_Main::mnClassifiche_Click);
    wire(addItem(stampe, QStringLiteral("mnIscritti"), QStringLiteral("Iscritti"), 690),
         &ZAR_Main::mnIscritti_Click);

    QMenu* tabelle = addMenu(bar, QStringLiteral("mnTabelleDB"), QStringLiteral("&Tabelle DB"), 740);
    wire(addItem(tabelle, QStringLiteral("mnGare"), QStringLiteral("Gare"), 710), &ZAR_Main::mnGare_Click);
    wire(addItem(tabelle, QStringLiteral("mnConduttori"), QStringLiteral("Conduttori"), 720),
         &ZAR_Main::mnConduttori_Click);
    wire(addItem(tabelle, QStringLiteral("mnCani"), QStringLiteral("Cani"), 730), &ZAR_Main::mnCani_Click);

    QMenu* manut = addMenu(bar, QStringLiteral("mnManutenzioneDB"), QStringLiteral("&Manutenzione DB"), 770);
    wire(addItem(manut, QStringLiteral("mnBackUp"), QStringLiteral("BackUp"), 750),
         &ZAR_Main::mnBackUp_Click);
    wire(addItem(manut, QStringLiteral("mnSincronizzazione"), QStringLiteral("Sincronizzazione"), 760),
         &ZAR_Main::mnSincronizzazione_Click);

    QMenu* opzioni = addMenu(bar, QStringLiteral("mnOpzioni"), QStringLiteral("&Opzioni"), 800);
    wire(addItem(opzioni, QStringLiteral("mnCambioPassword"), QStringLiteral("Cambio Password"), 780),
         &ZAR_Main::mnCambioPassword_Click);
    separator(opzioni, QStringLiteral("Linea1_Opz"));
    wire(addItem(opzioni, QStringLiteral("mnEtichettaPettorale"),
                 QStringLiteral("Impostazione Etichetta Pettorale"), 790),
         &ZAR_Main::mnEtichettaPettorale_Click);

    QMenu* tools = addMenu(bar, QStringLiteral("mnTools"), QStringLiteral("Too&ls"), 830);
    wire(addItem(tools, QStringLiteral("mnCalcolatrice"), QStringLiteral("Calcolatrice"), 810),
         &ZAR_Main::mnCalcolatrice_Click);
    wire(addItem(tools, QStringLiteral("mnBloccoNote"), QStringLiteral("Blocco Note"), 820),
         &ZAR_Main::mnBloccoNote_Click);

    QMenu* help = addMenu(bar, QStringLiteral("mnHelp"), QStringLiteral("Help"), 860);
    wire(addItem(help, QStringLiteral("mnZARHelp"), QStringLiteral("ZAR Help"), 840),
         &ZAR_Main::mnZARHelp_Click);
    wire(addItem(help, QStringLiteral("mnAboutZAR"), QStringLiteral("About ZAR"), 850),
         &ZAR_Main::mnAboutZAR_Click);
}

void ZAR_Main::completeWindow() {
    if (m_complete)
        return;
    m_complete = true;
    // From a pixmap: an icon made from a file name would look for icon engine plugins first.
    setWindowIcon(QIcon(picture(QStringLiteral("zar"))));
    buildMenus(); // before the panels: each shortcut runs a menu item
    m_help->watch(menuBar());
    buildPanels();
    buildStatusBar();
    emit completed();
}

bool ZAR_Main::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_login && event->type() == QEvent::Paint) {
        // Once this paint has reached the screen, build the rest while "Loading" runs.
        m_login->removeEventFilter(this);
        m_login = nullptr;
        setUpdatesEnabled(true);
        QTimer::singleShot(0, this, &ZAR_Main::completeWindow);
    }
    return QMainWindow::eventFilter(watched, event);
}

// The grey work area and the empty shortcut bar: what the locked window shows behind the login.
void ZAR_Main::buildWorkArea() {
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    Picture1 = new QWidget(central);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFixedWidth(kBarWidth);
    Picture1->setMinimumHeight(kFrameHeight);
    Picture1->setAutoFillBackground(true);
    QPalette light = Picture1->palette();
    light.setColor(QPalette::Window, QColor(192, 192, 192));
    Picture1->setPalette(light);
    row->addWidget(Picture1);
    auto* background = new Background(central);
    // It paints every pixel itself: nothing below it needs painting first.
    background->setAttribute(Qt::WA_OpaquePaintEvent);
    background->setObjectName(QStringLiteral("Background"));
    row->addWidget(background, 1);
    setCentralWidget(central);
}

void ZAR_Main::buildPanels() {
    QPalette light = Picture1->palette();
    std::array<std::array<QToolButton*, 5>*, 5> tabArrays{&CmdGare, &CmdConfig, &CmdStamp, &CmdUtil,
                                                          &CmdHelp};
    std::array<QIcon, 5> tabIcons; // each picture decoded once for its five copies
    for (size_t t = 0; t < 5; ++t)
        tabIcons[t] = QIcon(picture(QString::fromLatin1(kTabs[t].picture)));
    // Created in index order, so the Help panel lies in front until a tab is clicked.
    for (int k = 0; k < 5; ++k) {
        auto* frame = new QFrame(Picture1);
        frame->setObjectName(QStringLiteral("Frame1_%1").arg(k));
        frame->setGeometry(kFrameLeft, 0, kFrameWidth, kFrameHeight);
        frame->setAutoFillBackground(true);
        frame->setPalette(light);
        Frame1[size_t(k)] = frame;
        for (int t = 0; t < 5; ++t) {
            auto* button = new TabButton(frame);
            button->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(kTabs[size_t(t)].name)).arg(k));
            button->setText(QString::fromLatin1(kTabs[size_t(t)].caption));
            button->setIcon(tabIcons[size_t(t)]);
            button->setIconSize(QSize(28, 28));
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            // Tabs up to this panel's own stand at the top, the others at the bottom.
            const int top = t <= k ? kTopFirst + t * kButtonStep : kBottomFirst + (t - 1) * kButtonStep;
            button->setGeometry(kButtonLeft, top, kButtonWidth, kButtonHeight);
            connect(button, &QToolButton::clicked, this, [this, t] { showPanel(t); });
            (*tabArrays[size_t(t)])[size_t(k)] = button;
        }
    }

    int slot = 0;
    for (size_t i = 0; i < kShortcuts.size(); ++i) {
        // Each panel's shortcuts stand one below the other, from its first slot.
        slot = i > 0 && kShortcuts[i].panel == kShortcuts[i - 1].panel ? slot + 1 : 0;
        QAction* action = menuItem(QLatin1String(kShortcuts[i].menuItem));
        Q_ASSERT(action);
        addShortcut(Frame1[size_t(kShortcuts[i].panel)], slot, kShortcuts[i], action);
    }
    // Children added to a window already on screen stay hidden until shown.
    for (QFrame* frame : Frame1)
        frame->show();
}

void ZAR_Main::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    statusPanel1 = new QLabel(bar);
    statusPanel1->setObjectName(QStringLiteral("StatusBar1_Panel1"));
    statusPanel1->setMinimumWidth(240);
    bar->addWidget(statusPanel1, 1);

    statusPanel2 = new QWidget(bar);
    statusPanel2->setObjectName(QStringLiteral("StatusBar1_Panel2"));
    auto* row = new QHBoxLayout(statusPanel2);
    row->setContentsMargins(4, 0, 4, 0);
    auto* pic = new QLabel(statusPanel2);
    QPixmap mail =
        picture(QStringLiteral("mail")).scaled(18, 18, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pic->setPixmap(mail);
    auto* address = new QLabel(QStringLiteral("assistenza@zar-gare.it"), statusPanel2);
    address->setObjectName(QStringLiteral("StatusBar1_Address"));
    row->addWidget(pic);
    row->addWidget(address);
    const QString tip = QStringLiteral("E-mail address of the programmer.");
    for (QWidget* w : {statusPanel2, static_cast<QWidget*>(pic), static_cast<QWidget*>(address)})
        w->setToolTip(tip);
    bar->addPermanentWidget(statusPanel2);
    bar->show(); // a bar added to a window already on screen stays hidden otherwise
}

void ZAR_Main::showPanel(int k) {
    for (int i = 0; i < 5; ++i)
        Frame1[size_t(i)]->setVisible(i == k);
}

bool ZAR_Main::MDIForm_Load() {
    const QString version = versionText();
    // Built after the login, the window is painted after it too: its grey work area waits
    // until the login is on screen.
    if (!m_complete)
        setUpdatesEnabled(false);
    show();
    setEnabled(false);

    frmSplash login(m_shared, *m_help, this);
    login.Form_Load();
    if (!m_complete) {
        m_login = &login;
        login.installEventFilter(this);
    }
    const bool good = showModal(m_shared, login) == QDialog::Accepted && !login.ended();
    if (m_login) {
        login.removeEventFilter(this);
        m_login = nullptr;
    }
    setUpdatesEnabled(true);
    switch (login.loadResult()) {
    case frmSplash::LoadResult::Failed:
        return openFailed(login.loadError(), login.loadErrorLocked());
    case frmSplash::LoadResult::NoPassword:
        // Without a stored password there is nothing to check against: never let the
        // program be used unchecked.
        MsgBox(
            QStringLiteral("Nessuna password registrata nel database: il programma non può essere avviato."),
            vbCritical);
        m_exitCode = 1;
        return false;
    case frmSplash::LoadResult::NotRead:
    case frmSplash::LoadResult::Ok:
        break;
    }
    if (!good) {
        m_exitCode = 0;
        return false;
    }
    // The login may have ended before the window was completed: never leave it half built.
    completeWindow();

    try {
        m_shared.openDatabase();
    } catch (const DbError& e) {
        return openFailed(e.message(), e.isLocked());
    }
    if (!LimitaAvvio(2, *this, QString(), m_instance)) {
        m_exitCode = 0;
        return false;
    }
    statusPanel1->setText(versionLine(version));
    return true;
}

// The running copy holds the file exclusively, so a second copy fails here: it hands
// over like the single-instance guard does. Any other failure is shown.
bool ZAR_Main::openFailed(const QString& description, bool locked) {
    if (locked && m_instance.previousInstance()) {
        LimitaAvvio(2, *this, QString(), m_instance);
        m_exitCode = 0;
        return false;
    }
    MsgBox(description, vbCritical);
    m_exitCode = 1;
    return false;
}

void ZAR_Main::closeEvent(QCloseEvent* event) {
    event->ignore();
    mnExit_Click();
}

void ZAR_Main::mnExit_Click() {
    if (MsgBox(QStringLiteral("Vuoi terminare il programma?"), vbYesNo + vbQuestion) == vbYes)
        emit programEnded(0);
}

void ZAR_Main::mnIscrizioni_Click() {
    guarded([this] { showFrmIscrizione(m_shared, this); });
}

void ZAR_Main::mnPunteggi_Click() {
    guarded([this] { showFrmClassifica(m_shared, this); });
}

void ZAR_Main::mnOrdinePartenze_Click() {
    guarded([this] { showFrmReportPartenza(m_shared, this); });
}

void ZAR_Main::mnClassifiche_Click() {
    guarded([this] { showFrmReportClassifica(m_shared, this); });
}

void ZAR_Main::mnIscritti_Click() {
    guarded([this] { showFrmReportIscritti(m_shared, this); });
}

void ZAR_Main::mnPettorali_Click() {
    guarded([this] { showFrmPrintPettorali(m_shared, this); });
}

void ZAR_Main::mnEtichettaPettorale_Click() {
    guarded([this] { showFrmEtichette(m_shared, this); });
}

void ZAR_Main::mnGare_Click() {
    guarded([this] { showFrmGare(m_shared, this); });
}

void ZAR_Main::mnConduttori_Click() {
    guarded([this] { showFrmConduttore(m_shared, this); });
}

void ZAR_Main::mnCani_Click() {
    guarded([this] { showFrmCane(m_shared, this); });
}

void ZAR_Main::mnCambioPassword_Click() {
    guarded([this] { showFrmChangePassword(m_shared, this); });
}

void ZAR_Main::mnBackUp_Click() {
    guarded([this] { showFrmBackUp(m_shared, this); });
    // The backup could not put the connection back: the program never goes on without it.
    if (!m_shared.dbGare) {
        m_exitCode = 1;
        emit programEnded(1);
    }
}

void ZAR_Main::mnAboutZAR_Click() {
    showFrmAbout(m_shared, this);
}

void ZAR_Main::mnuFileSta_Click() {
    showPrinterSetup(m_shared, this);
}

void ZAR_Main::mnCalcolatrice_Click() {
    if (!ShellStart(calculatorPrograms()))
        MsgBox(QStringLiteral("La calcolatrice non è disponibile ..."), vbExclamation);
}

void ZAR_Main::mnBloccoNote_Click() {
    if (!ShellStart(editorPrograms()))
        MsgBox(QStringLiteral("Il blocco note non è disponibile ..."), vbExclamation);
}

void ZAR_Main::mnZARHelp_Click() {
    ShellOpenShown(m_shared.programFolder + QStringLiteral("/ZAR manuale d'uso.pdf"));
}

void ZAR_Main::activateFromOtherCopy() {
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

} // namespace zar
