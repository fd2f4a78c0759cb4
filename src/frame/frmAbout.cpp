#include "frame/frmAbout.h"

#include "frame/MostraForm.h"
#include "frame/SharedValues.h"
#include "frame/ZAR_Main.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zar {

namespace {

QLabel* decorative(QWidget* parent, const QString& name, const QString& text, int pointSize) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font(QStringLiteral("Times New Roman"), pointSize, QFont::Bold, true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    label->setPalette(palette);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QFrame* line(QWidget* parent, int i) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("Line1_%1").arg(i));
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    Label4 = decorative(this, QStringLiteral("Label4"), QStringLiteral("ZAR"), 40);
    Label1 = decorative(this, QStringLiteral("Label1"), QStringLiteral("Daduded"), 26);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    for (int i = 0; i < 2; ++i)
        Line1[size_t(i)] = line(this, i);
    CmdOK = new QPushButton(QStringLiteral("OK"), this);
    CmdOK->setObjectName(QStringLiteral("CmdOK"));
    CmdOK->setDefault(true);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 16, 24, 16);
    column->addWidget(Label4);
    column->addWidget(Label1);
    column->addWidget(Line1[0]);
    column->addWidget(Label2);
    column->addWidget(Label3);
    column->addWidget(Line1[1]);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(CmdOK);
    column->addLayout(row);

    // Esc closes a dialog through reject(), which ends in done() like OK.
    connect(CmdOK, &QPushButton::clicked, this, &frmAbout::CmdOK_Click);
    Form_Load();
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("About ") + QStringLiteral("Daduded"));
    Label2->setText(ZAR_Main::versionLine());
    Label3->setText(QStringLiteral("Copyright © Daduded. Tutti i diritti riservati."));
}

void frmAbout::CmdOK_Click() {
    accept();
}

void frmAbout::done(int) {
    QDialog::done(QDialog::Accepted);
    if (QWidget* owner = parentWidget()) {
        owner->window()->raise();
        owner->window()->activateWindow();
    }
}

void showFrmAbout(SharedValues& shared, QWidget* parent) {
    mostra<frmAbout>(shared.frmAbout, shared, parent);
}

} // namespace zar
