#include "windows/frmSplash.h"

#include "datafiles/DataFiles.h"
#include "windows/Controls.h"
#include "windows/Links.h"
#include "windows/Program.h"
#include "windows/Twips.h"
#include "windows/frmStartup.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

QLabel *addLabel(QWidget *parent, const QString &name, const QString &caption, const QFont &font, bool wordWrap,
                 int left, int top, int width, int height) {
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(wordWrap);
    PlaceTwips(label, left, top, width, height);
    return label;
}

// Places a label again for a caption set after creation. A box widened past the window's edge moves
// left instead, so that the caption stays whole.
void refit(QLabel *label, int left, int top, int width, int height) {
    PlaceTwips(label, left, top, width, height);
    const int overflow = label->geometry().right() + 1 - label->parentWidget()->width();
    if (overflow > 0) {
        label->move(label->x() - overflow, label->y());
    }
}

void setTextColour(QLabel *label, const QColor &colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QFont arialBold(double points) {
    return DesignFont(QStringLiteral("Arial"), points, true);
}

} // namespace

frmSplash::frmSplash(Program &program) : Form(program.platform.forms), program_(program) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Quillane by ") + Links::MakerName);
    setFont(FormFont());
    createMenus();
    createControls(MakeClientArea(this, menuBar, 5490, 3705));
    UseWindowKeys(this);
    CentreOnScreen(this);
}

void frmSplash::createMenus() {
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    mnuUpgrade = menuBar->addMenu(QStringLiteral("UpGrade"));
    mnuUpgrade->setObjectName(QStringLiteral("mnuUpgrade"));
    mnuUpgrade->menuAction()->setObjectName(QStringLiteral("mnuUpgrade"));
    mnuZenfold = mnuUpgrade->addAction(QStringLiteral("to Zenfold"));
    mnuZenfold->setObjectName(QStringLiteral("mnuZenfold"));
    mnuBrightledge = mnuUpgrade->addAction(QStringLiteral("to Brightledge"));
    mnuBrightledge->setObjectName(QStringLiteral("mnuBrightledge"));
    mnuVisit = menuBar->addAction(QStringLiteral("Visit Us"));
    mnuVisit->setObjectName(QStringLiteral("mnuVisit"));
    mnuForms = menuBar->addAction(QStringLiteral("Order Forms"));
    mnuForms->setObjectName(QStringLiteral("mnuForms"));

    connect(mnuZenfold, &QAction::triggered, this, &frmSplash::mnuZenfold_Click);
    connect(mnuBrightledge, &QAction::triggered, this, &frmSplash::mnuBrightledge_Click);
    connect(mnuVisit, &QAction::triggered, this, &frmSplash::mnuVisit_Click);
    connect(mnuForms, &QAction::triggered, this, &frmSplash::mnuForms_Click);
}

void frmSplash::createControls(QWidget *client) {
    lblProductName = addLabel(client, QStringLiteral("lblProductName"), QStringLiteral("Quillane"), arialBold(21.75),
                              false, 1320, 1020, 2505, 510);
    lblProductName->setToolTip(QStringLiteral("The Name of this program"));
    SetTabIndex(lblProductName, 0);

    Label1 = addLabel(client, ArrayName("Label1", 1), QStringLiteral("A program of ") + Links::MakerName,
                      FormFont(true), false, 1260, 1620, 2805, 195);
    Label1->setToolTip(QStringLiteral("Click to Visit"));
    setTextColour(Label1, QColor(0, 0, 128));
    Label1->setCursor(Qt::PointingHandCursor);
    SetTabIndex(Label1, 6);
    OnClick(Label1, [this] { Label1_Click(); });

    lblRunning = addLabel(client, QStringLiteral("lblRunning"),
                          QStringLiteral("Orvantis Programs share files. Exit all other Orvantis Programs before "
                                         "continuing...."),
                          FormFont(), true, 3000, 2040, 2235, 615);
    setTextColour(lblRunning, QColor(192, 0, 0));
    SetTabIndex(lblRunning, 5);

    lblCopyright =
        addLabel(client, QStringLiteral("lblCopyright"), QString(), arialBold(9.75), false, 180, 2280, 1395, 240);
    lblCopyright->setToolTip(QStringLiteral("Quillane is copyright ") + Links::MakerName +
                             QStringLiteral(". All rights reserved."));
    SetTabIndex(lblCopyright, 2);

    lblWarning = addLabel(client, QStringLiteral("lblWarning"),
                          QStringLiteral("For use on your own checks only.\nDo not copy or resell this program."),
                          arialBold(8.25), true, 120, 2640, 2745, 660);
    lblWarning->setToolTip(QStringLiteral("Protected by copyright law"));
    SetTabIndex(lblWarning, 1);

    lblVersion = addLabel(client, QStringLiteral("lblVersion"), QStringLiteral("Version No"), arialBold(8.25), false,
                          4440, 3420, 915, 210);
    SetTabIndex(lblVersion, 3);

    cmdContinue = new QPushButton(QStringLiteral("Continue"), client);
    cmdContinue->setObjectName(QStringLiteral("cmdContinue"));
    cmdContinue->setFont(FormFont());
    cmdContinue->setToolTip(QStringLiteral("Starts the Program"));
    cmdContinue->setDefault(true);
    PlaceTwips(cmdContinue, 3480, 2940, 1395, 315);
    SetTabIndex(cmdContinue, 4);
    connect(cmdContinue, &QPushButton::clicked, this, &frmSplash::cmdContinue_Click);

    Image1 = MakeImage(client, ArrayName("Image1", 0), QStringLiteral(":/pictures/emblem.svg"), 120, 480, 780, 735);
    Image1->setToolTip(QStringLiteral("Ends the Program"));
    OnClick(Image1, [this] { Image1_Click(); });

    cmdContinue->setFocus();
}

void frmSplash::Form_Load() {
    loaded_ = true;
}

void frmSplash::Form_Activate() {
    const AppObject &app = program_.platform.App;
    lblVersion->setText(QStringLiteral("Version %1.%2.%3").arg(app.Major).arg(app.Minor).arg(app.Revision));
    lblCopyright->setText(QStringLiteral("\u00A9 Copyright ") +
                          QString::number(program_.platform.clock.Today().year()));
    refit(lblVersion, 4440, 3420, 915, 210);
    refit(lblCopyright, 180, 2280, 1395, 240);
}

void frmSplash::Form_QueryUnload(bool &Cancel, int UnloadMode) {
    Q_UNUSED(Cancel);
    if (UnloadMode == vbFormControlMenu) {
        program_.EndProgram();
    }
}

void frmSplash::cmdContinue_Click() {
    Forms &forms = program_.platform.forms;
    forms.Unload(this, vbFormCode);
    forms.Show(program_.Startup());
}

void frmSplash::Image1_Click() {
    program_.EndProgram();
}

void frmSplash::Label1_Click() {
    openPage(Links::HomePage);
}

void frmSplash::mnuVisit_Click() {
    openPage(Links::HomePage);
}

void frmSplash::mnuZenfold_Click() {
    openPage(Links::StorePage(Links::ZenfoldItem));
}

void frmSplash::mnuBrightledge_Click() {
    openPage(Links::StorePage(Links::BrightledgeItem));
}

QString frmSplash::OrderFormsText() {
    const QStringList lines{
        QStringLiteral("Your initial order for forms must be placed via telephone"),
        QStringLiteral("Call Deluxe (Toll Free) at ") + Links::VendorTollFree,
        QStringLiteral("Use Priority Code ") + Links::PriorityCode + QStringLiteral(" for Discount Prices"),
        QStringLiteral("Select the Items that you wish to Order"),
        QStringLiteral("Business Checks - 80003-1064"),
        QStringLiteral("Personal Checks - 80935"),
        QStringLiteral("Deposit Tickets - 80200"),
        QStringLiteral("Click Okay to Continue to connect to Deluxe"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

void frmSplash::mnuForms_Click() {
    const MsgResult answer = program_.platform.messages.MsgBox(OrderFormsText(), MsgButtons::OKCancel,
                                                               QStringLiteral("Ordering from Deluxe"), MsgResult::OK);
    if (answer == MsgResult::OK) {
        openPage(Links::ReferralPage());
    }
}

void frmSplash::openPage(const QString &url) {
    Platform &platform = program_.platform;
    OpenWebPage(platform.files, platform.urls, platform.messages, url);
}
