#include "windows/frmAlignment.h"

#include "alignment/TestSheet.h"
#include "forms/FormFile.h"
#include "platform/Clock.h"
#include "platform/PainterPrinter.h"
#include "platform/Units.h"
#include "print/MoneyPrint.h"
#include "windows/Controls.h"
#include "windows/Program.h"
#include "windows/Twips.h"
#include "words/Currency.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <functional>
#include <tuple>

namespace {

const QString kTitle = QStringLiteral("Printer Alignment");
const QString kHorizontalField = QStringLiteral("Horizontal offset");
const QString kVerticalField = QStringLiteral("Vertical offset");
constexpr double kSheetWidthTwips = 8.5 * kTwipsPerInch;

// The picture control: paints through a handler.
class PictureBox final : public QWidget {
public:
    PictureBox(QWidget *parent, std::function<void(QWidget &)> paint) : QWidget(parent), paint_(std::move(paint)) {}

protected:
    void paintEvent(QPaintEvent *) override { paint_(*this); }

private:
    std::function<void(QWidget &)> paint_;
};

template <typename Control>
Control *place(Control *control, const char *name, int left, int top, int width, int height) {
    control->setObjectName(QString::fromLatin1(name));
    control->setFont(FormFont());
    PlaceTwips(control, left, top, width, height);
    return control;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, int left, int top, int width, int height,
              bool wordWrap = false) {
    auto *control = new QLabel(caption, parent);
    control->setAlignment(wordWrap ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignLeft | Qt::AlignVCenter);
    control->setWordWrap(wordWrap);
    return place(control, name, left, top, width, height);
}

} // namespace

frmAlignment::frmAlignment(Program &program, const QString &checkStyle, QWidget *parent)
    : QDialog(parent), program_(program), path_(AlignmentFilePath(program.platform.App.Path)),
      locale_(ProgramLocale()) {
    setObjectName(QStringLiteral("frmAlignment"));
    setWindowTitle(kTitle);
    setFont(FormFont());
    QWidget *client = MakeClientArea(this, nullptr, 7560, 5460);
    createControls(client);

    cboPrinter->addItems(PrinterChoices(program_.platform.printers));
    const int defaultPrinter = cboPrinter->findText(program_.platform.printers.DefaultPrinterName());
    cboPrinter->setCurrentIndex(defaultPrinter >= 0 ? defaultPrinter : 0);
    // The forms as the Forms folder holds them now; the Check Forms window reports the files it cannot use.
    forms_ = FormCatalog(FormsFolder(program_.platform.App.Path)).Forms();
    for (const CheckForm &form : std::as_const(forms_)) {
        cboStyle->addItem(form.Name);
    }
    const int style = cboStyle->findText(checkStyle, Qt::MatchFixedString);
    cboStyle->setCurrentIndex(style >= 0 ? style : 0);

    loadTable();
    showSelection();
    connect(cboPrinter, &QComboBox::currentIndexChanged, this, &frmAlignment::cboPrinter_Click);
    connect(cboStyle, &QComboBox::currentIndexChanged, this, &frmAlignment::cboStyle_Click);
    connect(txtHorizontal, &QLineEdit::textChanged, this, &frmAlignment::txtOffset_Change);
    connect(txtVertical, &QLineEdit::textChanged, this, &frmAlignment::txtOffset_Change);
    connect(chkProtection, &QCheckBox::clicked, this, &frmAlignment::chkProtection_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmAlignment::cmdSave_Click);
    connect(cmdTestSheet, &QPushButton::clicked, this, &frmAlignment::cmdTestSheet_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmAlignment::cmdClose_Click);
    CentreOnScreen(this);
}

void frmAlignment::createControls(QWidget *client) {
    lblPrinter = label(client, "lblPrinter", QStringLiteral("&Printer:"), 120, 120, 1080, 315);
    cboPrinter = place(new QComboBox(client), "cboPrinter", 1260, 120, 2700, 315);
    lblStyle = label(client, "lblStyle", QStringLiteral("Check St&yle:"), 4080, 120, 1080, 315);
    cboStyle = place(new QComboBox(client), "cboStyle", 5220, 120, 2220, 315);

    lblHorizontal = label(client, "lblHorizontal", QStringLiteral("&Horizontal:"), 120, 540, 1080, 285);
    txtHorizontal = place(new QLineEdit(client), "txtHorizontal", 1260, 540, 780, 285);
    lblHorizontalUnit = label(client, "lblHorizontalUnit", QStringLiteral("inch, right +"), 2100, 540, 1500, 285);
    lblVertical = label(client, "lblVertical", QStringLiteral("&Vertical:"), 4080, 540, 1080, 285);
    txtVertical = place(new QLineEdit(client), "txtVertical", 5220, 540, 780, 285);
    lblVerticalUnit = label(client, "lblVerticalUnit", QStringLiteral("inch, down +"), 6060, 540, 1380, 285);
    for (QLineEdit *box : {txtHorizontal, txtVertical}) {
        box->setMaxLength(8);
        box->setToolTip(QStringLiteral("How far every item moves, from -1.00 to +1.00 inch"));
    }
    lblHorizontal->setBuddy(txtHorizontal);
    lblVertical->setBuddy(txtVertical);
    lblPrinter->setBuddy(cboPrinter);
    lblStyle->setBuddy(cboStyle);

    chkProtection = place(new QCheckBox(QStringLiteral("Check p&rotection: asterisks after the words and before the "
                                                       "figures"),
                                        client),
                          "chkProtection", 120, 945, 7320, 255);

    lblHint = label(client, "lblHint",
                    QStringLiteral("Print the test sheet on plain paper and hold it over a check form against the "
                                   "light. Enter how far the items must move to sit on the form's lines, then Save."),
                    120, 1260, 7320, 450, true);

    picCheck = place(new PictureBox(client, [this](QWidget &surface) { paintCheck(surface); }), "picCheck", 120, 1800,
                     7320, 2760);
    lblStatus = label(client, "lblStatus", QString(), 120, 4620, 7320, 285);
    picCheck->setToolTip(QStringLiteral("Where the items of one check land with these offsets"));

    cmdTestSheet =
        place(new QPushButton(QStringLiteral("Print &Test Sheet"), client), "cmdTestSheet", 120, 4980, 1800, 375);
    cmdSave = place(new QPushButton(QStringLiteral("&Save"), client), "cmdSave", 4560, 4980, 1335, 375);
    cmdClose = place(new QPushButton(QStringLiteral("&Close"), client), "cmdClose", 6105, 4980, 1335, 375);
    for (QPushButton *button : {cmdTestSheet, cmdSave, cmdClose}) {
        button->setAutoDefault(false);
    }
    ChainTabOrder({cboPrinter, cboStyle, txtHorizontal, txtVertical, chkProtection, cmdTestSheet, cmdSave, cmdClose});
}

void frmAlignment::loadTable() {
    const FileResult loaded = LoadAlignment(program_.platform.files, table_);
    saved_ = table_;
    fileSound_ = loaded.ok;
    if (!loaded) {
        message(loaded.error + QStringLiteral("\r\nLook at the offsets and the check protection of each printer and "
                                              "style, then Save to write the file again."));
    }
}

void frmAlignment::showSelection() {
    shownPrinter_ = cboPrinter->currentText();
    shownStyle_ = cboStyle->currentText();
    drawn_ = table_.Offset(shownPrinter_, shownStyle_);
    showing_ = true;
    txtHorizontal->setText(OffsetText(drawn_.Horizontal, locale_));
    txtVertical->setText(OffsetText(drawn_.Vertical, locale_));
    chkProtection->setChecked(table_.CheckProtection(shownStyle_));
    showing_ = false;
    markBox(txtHorizontal, QString());
    markBox(txtVertical, QString());
    lblStatus->clear();
    picCheck->update();
}

bool frmAlignment::takeEdits() {
    QString error;
    const std::optional<int> horizontal = ParseOffset(txtHorizontal->text(), kHorizontalField, &error, locale_);
    const std::optional<int> vertical =
        horizontal ? ParseOffset(txtVertical->text(), kVerticalField, &error, locale_) : std::nullopt;
    if (!horizontal || !vertical) {
        message(error);
        QLineEdit *box = horizontal ? txtVertical : txtHorizontal;
        box->setFocus();
        box->selectAll();
        return false;
    }
    table_.SetOffset(shownPrinter_, shownStyle_, {*horizontal, *vertical});
    table_.SetCheckProtection(shownStyle_, chkProtection->isChecked());
    return true;
}

void frmAlignment::cboPrinter_Click() {
    if (!takeEdits()) {
        // The boxes stay with the printer they belong to until they hold offsets.
        const QSignalBlocker block(cboPrinter);
        cboPrinter->setCurrentIndex(cboPrinter->findText(shownPrinter_));
        return;
    }
    showSelection();
}

void frmAlignment::cboStyle_Click() {
    if (!takeEdits()) {
        const QSignalBlocker block(cboStyle);
        cboStyle->setCurrentIndex(cboStyle->findText(shownStyle_));
        return;
    }
    showSelection();
}

void frmAlignment::txtOffset_Change() {
    if (showing_) {
        return;
    }
    // A box that holds no offset is marked and the drawing keeps its last valid value.
    QStringList invalid;
    for (const auto &[box, field, value] : {std::tuple(txtHorizontal, kHorizontalField, &drawn_.Horizontal),
                                            std::tuple(txtVertical, kVerticalField, &drawn_.Vertical)}) {
        QString error;
        const std::optional<int> typed = ParseOffset(box->text(), field, &error, locale_);
        if (typed) {
            *value = *typed;
        } else {
            invalid << field;
        }
        markBox(box, error);
    }
    lblStatus->setText(invalid.isEmpty() ? QString()
                                         : QStringLiteral("%1: not an offset; the drawing shows the last valid one.")
                                               .arg(invalid.join(QStringLiteral(" and "))));
    picCheck->update();
}

void frmAlignment::markBox(QLineEdit *box, const QString &error) {
    const bool marked = !error.isEmpty();
    box->setProperty("invalid", marked);
    box->setStyleSheet(marked ? QStringLiteral("QLineEdit { background: #ffd8d8; border: 2px solid #c00000; }")
                              : QString());
    box->setToolTip(marked ? error + QStringLiteral(" The drawing shows the last valid offset.")
                           : QStringLiteral("How far every item moves, from -1.00 to +1.00 inch"));
}

void frmAlignment::chkProtection_Click() {
    picCheck->update();
}

void frmAlignment::paintCheck(QWidget &surface) {
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(surface.rect(), Qt::white);
    // The top check of the sheet across the whole width, with room for an offset to either side.
    // The check of slot 1 is in sight wherever the form has it (a voucher's may be lower on the sheet).
    const CheckForm &form = shownForm();
    const double checkTop = form.Areas.isEmpty() ? 0 : form.Areas[0].Check.top() * kTwipsPerInch;
    const double scale = surface.width() / (kSheetWidthTwips + 2 * kTwipsPerInch / 4);
    PainterPrinter printer(painter, scale, QPointF(kTwipsPerInch / 4 * scale, (kTwipsPerInch / 8 - checkTop) * scale));
    DrawAlignmentSample(printer, form, drawn_, chkProtection->isChecked(),
                        ShortDateText(program_.platform.clock.Today(), locale_), locale_);
}

void frmAlignment::message(const QString &text) {
    program_.platform.messages.MsgBox(text, MsgButtons::OK, kTitle);
}

bool frmAlignment::saveTable() {
    if (!takeEdits()) {
        return false;
    }
    const QString file = QDir::toNativeSeparators(path_);
    // An unchanged table is not written again: the file already holds it.
    if (table_ == saved_ && fileSound_) {
        lblStatus->setText(QStringLiteral("No changes to save; %1 is as it was.").arg(file));
        return true;
    }
    const FileResult saved = SaveAlignment(program_.platform.files, table_);
    if (!saved) {
        lblStatus->setText(QStringLiteral("Not saved."));
        message(saved.error);
        return false;
    }
    saved_ = table_;
    fileSound_ = true;
    lblStatus->setText(QStringLiteral("Saved to %1.").arg(file));
    return true;
}

void frmAlignment::cmdSave_Click() {
    saveTable();
}

void frmAlignment::cmdTestSheet_Click() {
    if (!takeEdits()) {
        return;
    }
    // The dialog opens on the printer chosen here; the sheet shows the offsets as they stand here.
    std::unique_ptr<Printer> printer = program_.platform.printerDialog.ShowPrinter(shownPrinter_);
    if (!printer) {
        return;
    }
    TestSheetRequest request;
    request.Form = shownForm();
    request.PrinterName = printer->PrinterName();
    request.Offset = table_.Offset(shownPrinter_, shownStyle_);
    request.OffsetSaved = fileSound_ && saved_.Offset(shownPrinter_, shownStyle_) == request.Offset;
    request.OffsetPrinter = shownPrinter_;
    request.DateText = ShortDateText(program_.platform.clock.Today(), locale_);
    if (!PrintTestSheet(*printer, request)) {
        message(QStringLiteral("The test sheet could not be printed on \"%1\":\r\n%2")
                    .arg(request.PrinterName, printer->ErrorText()));
    }
}

const CheckForm &frmAlignment::shownForm() const {
    static const CheckForm none;
    const int row = cboStyle->findText(shownStyle_, Qt::MatchFixedString);
    return row >= 0 && row < forms_.size() ? forms_.at(row) : none;
}

void frmAlignment::cmdClose_Click() {
    reject();
}

void frmAlignment::reject() {
    const std::optional<int> horizontal = ParseOffset(txtHorizontal->text(), kHorizontalField, nullptr, locale_);
    const std::optional<int> vertical = ParseOffset(txtVertical->text(), kVerticalField, nullptr, locale_);
    AlignmentTable edited = table_;
    if (horizontal && vertical) {
        edited.SetOffset(shownPrinter_, shownStyle_, {*horizontal, *vertical});
        edited.SetCheckProtection(shownStyle_, chkProtection->isChecked());
    }
    if (!horizontal || !vertical || !(edited == saved_)) {
        const MsgResult answer = program_.platform.messages.MsgBox(
            QStringLiteral("The alignment has changed since it was last saved.\r\nSave the changes to %1?")
                .arg(QDir::toNativeSeparators(path_)),
            MsgButtons::SaveDiscardCancel, kTitle, MsgResult::Save);
        if (answer == MsgResult::Cancel || (answer == MsgResult::Save && !saveTable())) {
            return;
        }
    }
    QDialog::reject();
}
