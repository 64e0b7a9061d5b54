#include "windows/frmMain.h"

#include "register/Register.h"
#include "windows/Controls.h"
#include "windows/Program.h"
#include "windows/Twips.h"

#include <QCompleter>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>

// The picture of the print-summary panel lives in this static library; the reference keeps it.
static void initFrmMainResources() {
    Q_INIT_RESOURCE(frmmain);
}

namespace {

const QString kFace = QStringLiteral("MS Sans Serif");
const char *const kDesignGeometry = "designGeometry";

QFont plainFont() {
    return DesignFont(kFace, 8.25, false);
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, double points, bool bold) {
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    // Captions show payees and bank names as typed: never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setFont(DesignFont(kFace, points, bold));
    label->setText(caption);
    return label;
}

QLineEdit *makeTextBox(QWidget *parent, const char *name, int maxLength) {
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(plainFont());
    box->setMaxLength(maxLength);
    return box;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption, const QString &tip) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFont(plainFont());
    button->setToolTip(tip);
    // Return presses the focused button, as Space does.
    button->setAutoDefault(true);
    return button;
}

// A rectangle drawn on its panel, under the controls and deaf to the mouse.
QFrame *makeShape(QWidget *parent, const QString &name) {
    auto *shape = new QFrame(parent);
    shape->setObjectName(name);
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape->setLineWidth(1);
    shape->setAttribute(Qt::WA_TransparentForMouseEvents);
    return shape;
}

} // namespace

// The payee box loses the focus while the window's children are taken down, after this object is
// gone: what it tells then reaches no one.
frmMain::~frmMain() {
    txtPayto->disconnect(this);
}

frmMain::frmMain(Program &program) : Form(program.platform.forms), program_(program) {
    initFrmMainResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quillane"));
    setFont(plainFont());
    SizeClientTwips(this, 7275, 3090);

    createEntryPanel();
    createVerifyPanel();
    createPrintSummaryPanel();
    connectHandlers();
    UseWindowKeys(this);

    cmdExpense[6]->setEnabled(false);
    ShowEntryPanel();
}

void frmMain::createEntryPanel() {
    fraMain = MakeFrame(this, QStringLiteral("fraMain"), QStringLiteral("Check Creation"));
    PlaceTwips(fraMain, 600, 60, 5655, 2955);

    Shape4 = makeShape(fraMain, QStringLiteral("Shape4"));
    PlaceTwips(Shape4, 120, 300, 3855, 2415);

    Label1[1] = makeLabel(fraMain, ArrayName("Label1", 1), QStringLiteral("Pay to the Order of"), 8.25, true);
    PlaceTwips(Label1[1], 240, 360, 1635, 195);
    // The boxes hold no more than the register keeps, so what is verified is what is printed.
    txtPayto = makeTextBox(fraMain, "txtPayto", kPayToWidth);
    PlaceTwips(txtPayto, 300, 660, 3495, 285);

    Label1[3] = makeLabel(fraMain, ArrayName("Label1", 3), QStringLiteral("Amount"), 8.25, true);
    PlaceTwips(Label1[3], 240, 1200, 645, 195);
    txtCost = makeTextBox(fraMain, "txtCost", kAmountWidth);
    txtCost->setToolTip(QStringLiteral("Enter Amount paid for this item"));
    PlaceTwips(txtCost, 2340, 1140, 1455, 285);

    Label1[0] = makeLabel(fraMain, ArrayName("Label1", 0), QStringLiteral("Category/Memo"), 8.25, true);
    PlaceTwips(Label1[0], 240, 1500, 1350, 195);
    txtCategory = makeTextBox(fraMain, "txtCategory", kMemoWidth);
    PlaceTwips(txtCategory, 300, 1800, 3495, 315);

    lblCheck = makeLabel(fraMain, QStringLiteral("lblCheck"), QStringLiteral("Check No"), 9.75, true);
    PlaceTwips(lblCheck, 2640, 360, 1215, 255);

    cmdExpense[6] = makeButton(fraMain, ArrayName("cmdExpense", 6), QStringLiteral("&PrintChecks"),
                               QStringLiteral("Print all created checks"));
    PlaceTwips(cmdExpense[6], 4200, 1980, 1095, 315);
    cmdExpense[1] = makeButton(fraMain, ArrayName("cmdExpense", 1), QStringLiteral("&Enter"),
                               QStringLiteral("Accept Check Entries"));
    PlaceTwips(cmdExpense[1], 2700, 2220, 1095, 315);
    cmdExpense[0] = makeButton(fraMain, ArrayName("cmdExpense", 0), QStringLiteral("&Menu"),
                               QStringLiteral("Return to the Main Menu"));
    PlaceTwips(cmdExpense[0], 4200, 2400, 1095, 315);
    cmdImport = makeButton(fraMain, QStringLiteral("cmdImport"), QStringLiteral("&Import…"),
                           QStringLiteral("Import checks from a spreadsheet's CSV file"));
    PlaceTwips(cmdImport, 4200, 1560, 1095, 315);

    // Out of the tab chain between the memo and Enter: the road from box to box stays as it was.
    cmdAddPayee = makeButton(fraMain, QStringLiteral("cmdAddPayee"), QStringLiteral("A&dd to Payees"),
                             QStringLiteral("Add the payee of the check just accepted to the payee book"));
    PlaceTwips(cmdAddPayee, 300, 2220, 1455, 315);
    cmdAddPayee->hide();

    payeeNames_ = new QStringListModel(this);
    cmpPayto = new QCompleter(payeeNames_, this);
    cmpPayto->setObjectName(QStringLiteral("cmpPayto"));
    cmpPayto->setCaseSensitivity(Qt::CaseInsensitive);
    cmpPayto->setCompletionMode(QCompleter::PopupCompletion);
    cmpPayto->setModelSorting(QCompleter::UnsortedModel);
    txtPayto->setCompleter(cmpPayto);
    // Rows of one height: a popup over thousands of names is laid out without measuring each.
    if (auto *list = qobject_cast<QListView *>(cmpPayto->popup())) {
        list->setUniformItemSizes(true);
    }

    setTabOrder(txtPayto, txtCost);
    setTabOrder(txtCost, txtCategory);
    setTabOrder(txtCategory, cmdExpense[1]);
    setTabOrder(cmdExpense[1], cmdExpense[6]);
    setTabOrder(cmdExpense[6], cmdImport);
    setTabOrder(cmdImport, cmdExpense[0]);
    setTabOrder(cmdExpense[0], cmdAddPayee);

    txtCost->installEventFilter(this);
}

void frmMain::createVerifyPanel() {
    fraCheckImage = MakeFrame(this, QStringLiteral("fraCheckImage"), QStringLiteral("Verify Information"));
    PlaceTwips(fraCheckImage, 60, 60, 7095, 2955);

    lblBankName = makeLabel(fraCheckImage, QStringLiteral("lblBankName"), QStringLiteral("Bank Name"), 8.25, true);
    PlaceTwips(lblBankName, 180, 300, 990, 195);
    lblAcctNo = makeLabel(fraCheckImage, QStringLiteral("lblAcctNo"), QStringLiteral("AcctNo"), 8.25, true);
    PlaceTwips(lblAcctNo, 6240, 240, 645, 195);
    lblCheckNo = makeLabel(fraCheckImage, QStringLiteral("lblCheckNo"), QStringLiteral("CheckNo"), 8.25, true);
    PlaceTwips(lblCheckNo, 5760, 600, 1155, 255);
    lblPaidto = makeLabel(fraCheckImage, QStringLiteral("lblPaidto"), QStringLiteral("Paid to"), 8.25, true);
    PlaceTwips(lblPaidto, 240, 900, 615, 195);
    lblAmount = makeLabel(fraCheckImage, QStringLiteral("lblAmount"), QStringLiteral("Amount"), 12, true);
    PlaceTwips(lblAmount, 5880, 1080, 945, 300);

    txtConverted = new QPlainTextEdit(fraCheckImage);
    txtConverted->setObjectName(QStringLiteral("txtConverted"));
    txtConverted->setFont(DesignFont(kFace, 8.25, true));
    // The words come from the amount; editing them here would not change the printed check.
    txtConverted->setReadOnly(true);
    txtConverted->setPlainText(QStringLiteral("Converted Number shows here\n"));
    PlaceTwips(txtConverted, 240, 1560, 6615, 615);

    lblCategory = makeLabel(fraCheckImage, QStringLiteral("lblCategory"), QStringLiteral("Memo:"), 8.25, true);
    PlaceTwips(lblCategory, 360, 2640, 570, 195);
    for (QLabel *label : {lblBankName, lblAcctNo, lblCheckNo, lblPaidto, lblAmount, lblCategory}) {
        label->setProperty(kDesignGeometry, label->geometry());
    }
    lblAcctNo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCheckNo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblAmount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    cmdPrint = makeButton(fraCheckImage, QStringLiteral("cmdPrint"), QStringLiteral("Accept"),
                          QStringLiteral("Create the Check"));
    PlaceTwips(cmdPrint, 5820, 2220, 1095, 315);
    cmdCancel = makeButton(fraCheckImage, QStringLiteral("cmdCancel"), QStringLiteral("&Redo"),
                           QStringLiteral("Cancel this check"));
    PlaceTwips(cmdCancel, 5820, 2580, 1095, 315);
    setTabOrder(cmdPrint, cmdCancel);
}

void frmMain::createPrintSummaryPanel() {
    fraPrintSummary = MakeFrame(this, QStringLiteral("fraPrintSummary"), QStringLiteral("Ready to Print Checks"));
    PlaceTwips(fraPrintSummary, 1830, 60, 3615, 2955);

    // The sheet: one box per check slot, slot 1 at the top, where the sheet enters the printer.
    for (int i = 0; i < 3; ++i) {
        Shape2[i] = makeShape(fraPrintSummary, ArrayName("Shape2", i));
        PlaceTwips(Shape2[i], 240, 1200 + 420 * i, 1215, 435);
    }

    Picture1 = MakeImage(fraPrintSummary, QStringLiteral("Picture1"), QStringLiteral(":/frmmain/Picture1.svg"), 300,
                         240, 1095, 690);
    Picture1->setToolTip(QStringLiteral("Shows the proper direction of the checks"));

    Label3 = makeLabel(fraPrintSummary, QStringLiteral("Label3"), QStringLiteral("Leading Edge"), 8.25, false);
    PlaceTwips(Label3, 352, 960, 990, 195);

    lblPrintSummary =
        makeLabel(fraPrintSummary, QStringLiteral("lblPrintSummary"), QStringLiteral("Printsummary"), 8.25, false);
    lblPrintSummary->setToolTip(QStringLiteral("Displays check forms needed information"));
    lblPrintSummary->setWordWrap(true);
    lblPrintSummary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceTwips(lblPrintSummary, 1560, 420, 1875, 1515);

    cmPrintSummary[0] = makeButton(fraPrintSummary, ArrayName("cmPrintSummary", 0), QStringLiteral("Print Checks"),
                                   QStringLiteral("Starts printing the checks"));
    PlaceTwips(cmPrintSummary[0], 2100, 2100, 1215, 315);
    cmPrintSummary[1] = makeButton(fraPrintSummary, ArrayName("cmPrintSummary", 1), QStringLiteral("Cancel Print"),
                                   QStringLiteral("Cancels all checks"));
    PlaceTwips(cmPrintSummary[1], 2100, 2520, 1215, 315);
    cmPrintSummary[2] = makeButton(fraPrintSummary, ArrayName("cmPrintSummary", 2), QStringLiteral("Pre&view"),
                                   QStringLiteral("Shows the checks as they will print"));
    PlaceTwips(cmPrintSummary[2], 240, 2520, 1215, 315);
    setTabOrder(cmPrintSummary[0], cmPrintSummary[1]);
    setTabOrder(cmPrintSummary[1], cmPrintSummary[2]);
}

void frmMain::connectHandlers() {
    for (int index : {0, 1, 6}) {
        connect(cmdExpense[index], &QPushButton::clicked, this, [this, index] { cmdExpense_Click(index); });
    }
    connect(cmdPrint, &QPushButton::clicked, this, &frmMain::cmdPrint_Click);
    connect(cmdAddPayee, &QPushButton::clicked, this, &frmMain::cmdAddPayee_Click);
    connect(cmpPayto, QOverload<const QString &>::of(&QCompleter::activated), this, &frmMain::txtPayto_Chosen);
    // A name taken from the popup with Tab, or typed whole, is chosen when the box is left.
    connect(txtPayto, &QLineEdit::editingFinished, this, [this] { txtPayto_Chosen(txtPayto->text()); });

    connect(cmdImport, &QPushButton::clicked, this, &frmMain::cmdImport_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
    for (int index : {0, 1, 2}) {
        connect(cmPrintSummary[index], &QPushButton::clicked, this, [this, index] { cmPrintSummary_Click(index); });
    }
}

void frmMain::SetCaption(QLabel *label, const QString &text, bool keepRightEdge) {
    label->setText(text);
    const QRect design = label->property(kDesignGeometry).toRect();
    QRect box = design;
    const int needed = label->fontMetrics().horizontalAdvance(text) + 2;
    if (needed > design.width()) {
        box.setWidth(needed);
        if (keepRightEdge) {
            box.moveRight(design.right());
        }
        // Never past the panel's edges.
        const QWidget *panel = label->parentWidget();
        const int margin = TwipsToPixels(60);
        if (box.right() > panel->width() - margin) {
            box.moveRight(panel->width() - margin);
        }
        if (box.left() < margin) {
            box.setLeft(margin);
        }
    }
    label->setGeometry(box);
}

void frmMain::ShowEntryPanel() {
    fraPrintSummary->hide();
    fraCheckImage->hide();
    fraMain->show();
}

void frmMain::Form_QueryUnload(bool &Cancel, int UnloadMode) {
    Q_UNUSED(Cancel);
    // The close box ends the program; pending checks stay in the register for the next run.
    if (UnloadMode == vbFormControlMenu) {
        program_.EndProgram();
    }
}
