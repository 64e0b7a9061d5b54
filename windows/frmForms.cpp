#include "windows/frmForms.h"

#include "alignment/TestSheet.h"
#include "forms/BuiltInForms.h"
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "windows/Controls.h"
#include "windows/FormCanvas.h"
#include "words/Currency.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QUndoCommand>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Check Forms");

// "Check 1: payee", or for a stub copy "Check 1, stub 2: payee" by the stub it stands on.
QString itemCaption(const FormArea &area, int areaIndex, const FormItem &item) {
    QString where = QStringLiteral("Check %1").arg(areaIndex + 1);
    if (item.Stub) {
        qsizetype stub = 0;
        while (stub < area.Stubs.size() && !area.Stubs[stub].contains(QPointF(item.X, item.Y))) {
            ++stub;
        }
        where += stub < area.Stubs.size() ? QStringLiteral(", stub %1").arg(stub + 1) : QStringLiteral(", stub");
    }
    return where + QStringLiteral(": ") + FieldTitle(item.Field);
}

} // namespace

// One change of one item, undone and redone through the window.
class ItemChange final : public QUndoCommand {
public:
    ItemChange(frmForms &window, int area, int item, FormItem before, FormItem after, const QString &what)
        : QUndoCommand(what), window_(window), area_(area), item_(item), before_(before), after_(after) {}
    void redo() override { window_.applyItem(area_, item_, after_); }
    void undo() override { window_.applyItem(area_, item_, before_); }

private:
    frmForms &window_;
    int area_, item_;
    FormItem before_, after_;
};

frmForms::frmForms(Platform &platform, const QString &formName, QWidget *parent)
    : QDialog(parent), platform_(platform), catalog_(FormsFolder(platform.App.Path)) {
    setObjectName(QStringLiteral("frmForms"));
    setWindowTitle(kTitle);
    createControls();
    fillFormList(formName);
    connect(lstForms, &QListWidget::currentRowChanged, this, &frmForms::lstForms_Click);
    connect(lstItems, &QListWidget::currentRowChanged, this, &frmForms::lstItems_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &frmForms::cmdCopy_Click);
    connect(cmdNew, &QPushButton::clicked, this, &frmForms::cmdNew_Click);
    connect(cmdRename, &QPushButton::clicked, this, &frmForms::cmdRename_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmForms::cmdDelete_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmForms::cmdSave_Click);
    connect(cmdTestSheet, &QPushButton::clicked, this, &frmForms::cmdTestSheet_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmForms::cmdClose_Click);
    connect(txtName, &QLineEdit::returnPressed, this, &frmForms::cmdRename_Click);
    for (QLineEdit *box : {txtX, txtY, txtWidth, txtFontSize}) {
        connect(box, &QLineEdit::returnPressed, this, [this, box] { txtField_Enter(box); });
    }
    connect(cmdUndo, &QPushButton::clicked, &undo_, &QUndoStack::undo);
    connect(cmdRedo, &QPushButton::clicked, &undo_, &QUndoStack::redo);
    connect(&undo_, &QUndoStack::canUndoChanged, cmdUndo, &QPushButton::setEnabled);
    connect(&undo_, &QUndoStack::canRedoChanged, cmdRedo, &QPushButton::setEnabled);
    connect(&undo_, &QUndoStack::cleanChanged, this, [this](bool clean) { cmdSave->setEnabled(!clean); });
    QAction *undo = undo_.createUndoAction(this);
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = undo_.createRedoAction(this);
    redo->setShortcut(QKeySequence::Redo);
    addActions({undo, redo});
    CentreOnScreen(this);
}

frmForms::~frmForms() {
    // The commands reach back into the window; they go before it does.
    undo_.clear();
}

void frmForms::createControls() {
    const auto label = [this](const QString &caption, QWidget *buddy, const char *name) {
        auto *control = new QLabel(caption, this);
        control->setObjectName(QString::fromLatin1(name));
        control->setBuddy(buddy);
        return control;
    };
    const auto button = [this](const QString &caption, const char *name) {
        auto *control = new QPushButton(caption, this);
        control->setObjectName(QString::fromLatin1(name));
        control->setAutoDefault(false);
        return control;
    };
    const auto box = [this](const char *name, const QString &tip) {
        auto *control = new QLineEdit(this);
        control->setObjectName(QString::fromLatin1(name));
        control->setToolTip(tip);
        control->setMaximumWidth(90);
        return control;
    };
    lstForms = new QListWidget(this);
    lstForms->setObjectName(QStringLiteral("lstForms"));
    cmdCopy = button(QStringLiteral("&Copy"), "cmdCopy");
    cmdNew = button(QStringLiteral("&New"), "cmdNew");
    cmdRename = button(QStringLiteral("&Rename"), "cmdRename");
    cmdDelete = button(QStringLiteral("De&lete"), "cmdDelete");
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setMaxLength(kLongestFormName);
    lstItems = new QListWidget(this);
    lstItems->setObjectName(QStringLiteral("lstItems"));
    txtX = box("txtX", QStringLiteral("Inches from the sheet's left edge to the item's anchor, then Return"));
    txtY = box("txtY", QStringLiteral("Inches from the sheet's top edge to the top of the item, then Return"));
    txtWidth = box("txtWidth", QStringLiteral("The words' line width, or where another item is cut (0: never), "
                                              "in inches, then Return"));
    txtFontSize = box("txtFontSize", QStringLiteral("Points, 6 to 24, then Return"));
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    lblStatus->setMinimumHeight(60);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    canvas_ = new FormCanvas(*this);
    canvas_->setObjectName(QStringLiteral("picForm"));
    canvas_->setToolTip(QStringLiteral("Click an item to choose it; drag it, or move it with the arrow keys (Shift: "
                                       "a tenth of an inch)"));
    picForm = canvas_;
    scrForm = new QScrollArea(this);
    scrForm->setObjectName(QStringLiteral("scrForm"));
    scrForm->setWidget(canvas_);
    scrForm->setFocusPolicy(Qt::NoFocus);
    cmdUndo = button(QStringLiteral("&Undo"), "cmdUndo");
    cmdRedo = button(QStringLiteral("Re&do"), "cmdRedo");
    cmdTestSheet = button(QStringLiteral("Print &Test Sheet"), "cmdTestSheet");
    cmdTestSheet->setToolTip(QStringLiteral("Print the alignment test sheet of this form, as drawn, on plain paper"));
    cmdSave = button(QStringLiteral("&Save"), "cmdSave");
    cmdClose = button(QStringLiteral("Cl&ose"), "cmdClose");
    cmdUndo->setEnabled(false);
    cmdRedo->setEnabled(false);
    cmdSave->setEnabled(false);

    auto *formButtons = new QHBoxLayout;
    for (QPushButton *control : {cmdCopy, cmdNew, cmdRename, cmdDelete}) {
        formButtons->addWidget(control);
    }
    auto *fields = new QGridLayout;
    fields->addWidget(label(QStringLiteral("&X:"), txtX, "lblX"), 0, 0);
    fields->addWidget(txtX, 0, 1);
    fields->addWidget(label(QStringLiteral("&Y:"), txtY, "lblY"), 0, 2);
    fields->addWidget(txtY, 0, 3);
    fields->addWidget(label(QStringLiteral("&Width:"), txtWidth, "lblWidth"), 1, 0);
    fields->addWidget(txtWidth, 1, 1);
    fields->addWidget(label(QStringLiteral("Font si&ze:"), txtFontSize, "lblFontSize"), 1, 2);
    fields->addWidget(txtFontSize, 1, 3);
    // The controls keep a column of their own; the drawing takes the rest of the window.
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("fraControls"));
    panel->setFixedWidth(330);
    auto *left = new QVBoxLayout(panel);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(label(QStringLiteral("&Forms:"), lstForms, "lblForms"));
    left->addWidget(lstForms, 2);
    left->addLayout(formButtons);
    left->addWidget(label(QStringLiteral("Na&me:"), txtName, "lblName"));
    left->addWidget(txtName);
    left->addWidget(label(QStringLiteral("&Items:"), lstItems, "lblItems"));
    left->addWidget(lstItems, 3);
    left->addLayout(fields);
    left->addWidget(lblStatus);
    auto *right = new QVBoxLayout;
    right->addWidget(label(QStringLiteral("Dr&awing (true scale):"), canvas_, "lblDrawing"));
    right->addWidget(scrForm, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(cmdUndo);
    bottom->addWidget(cmdRedo);
    bottom->addWidget(cmdTestSheet);
    bottom->addStretch(1);
    bottom->addWidget(cmdSave);
    bottom->addWidget(cmdClose);
    auto *columns = new QHBoxLayout;
    columns->addWidget(panel);
    columns->addLayout(right, 1);
    auto *whole = new QVBoxLayout(this);
    whole->addLayout(columns, 1);
    whole->addLayout(bottom);
    ChainTabOrder({lstForms, cmdCopy, cmdNew, cmdRename, cmdDelete, txtName, lstItems, txtX, txtY, txtWidth,
                   txtFontSize, canvas_, cmdUndo, cmdRedo, cmdTestSheet, cmdSave, cmdClose});
    resize(1180, 820);
}

QPointF frmForms::PixelOf(QPointF inches) const {
    return canvas_->pixelOf(inches);
}

void frmForms::fillFormList(const QString &select) {
    QList<FormFileFault> faults;
    const QList<CheckForm> forms = catalog_.Forms(&faults);
    if (!faults.isEmpty()) {
        QStringList texts;
        for (const FormFileFault &fault : std::as_const(faults)) {
            texts << fault.Message();
        }
        message(texts.join(QStringLiteral("\r\n\r\n")));
    }
    filling_ = true;
    lstForms->clear();
    names_.clear();
    int row = 0;
    for (const CheckForm &form : forms) {
        if (form.Name.compare(select, Qt::CaseInsensitive) == 0) {
            row = static_cast<int>(names_.size());
        }
        names_.append(form.Name);
        lstForms->addItem(form.BuiltIn ? form.Name + QStringLiteral("  (built-in)") : form.Name);
    }
    lstForms->setCurrentRow(row);
    filling_ = false;
    if (names_.at(row) != form_.Name) {
        showForm(names_.at(row));
    }
}

void frmForms::showForm(const QString &name) {
    undo_.clear();
    const std::optional<CheckForm> form = catalog_.Find(name);
    form_ = form ? *form : CheckForm{};
    area_ = -1;
    item_ = -1;
    txtName->setText(form_.Name);
    for (QWidget *control :
         {static_cast<QWidget *>(cmdRename), static_cast<QWidget *>(cmdDelete), static_cast<QWidget *>(txtName),
          static_cast<QWidget *>(txtX), static_cast<QWidget *>(txtY), static_cast<QWidget *>(txtWidth),
          static_cast<QWidget *>(txtFontSize)}) {
        control->setEnabled(editable());
    }
    lblStatus->setText(editable() ? QString()
                                  : QStringLiteral("A built-in form cannot be changed. Copy it to make a form of "
                                                   "your own."));
    canvas_->fitSheet(form_.Page);
    fillItemList();
    if (!form_.Areas.isEmpty() && !form_.Areas[0].Items.isEmpty()) {
        SelectItem(0, 0);
    }
    canvas_->update();
}

void frmForms::fillItemList() {
    filling_ = true;
    lstItems->clear();
    for (int a = 0; a < form_.Areas.size(); ++a) {
        for (const FormItem &item : std::as_const(form_.Areas[a].Items)) {
            lstItems->addItem(itemCaption(form_.Areas[a], a, item));
        }
    }
    filling_ = false;
}

void frmForms::SelectItem(int area, int item) {
    area_ = area;
    item_ = item;
    int row = item;
    for (int a = 0; a < area; ++a) {
        row += static_cast<int>(form_.Areas[a].Items.size());
    }
    filling_ = true;
    lstItems->setCurrentRow(row);
    filling_ = false;
    showFields();
    canvas_->update();
    const QRectF box = canvas_->itemRect(form_.Areas[area].Items[item]);
    scrForm->ensureVisible(qRound(box.center().x()), qRound(box.center().y()), qRound(box.width() / 2) + 20, 60);
}

void frmForms::showFields() {
    if (item_ < 0) {
        return;
    }
    const FormItem &item = form_.Areas[area_].Items[item_];
    txtX->setText(QString::number(item.X));
    txtY->setText(QString::number(item.Y));
    txtWidth->setText(QString::number(item.Field == FormField::Words ? item.Width : item.ClipWidth));
    txtFontSize->setText(QString::number(item.FontSize));
}

void frmForms::lstForms_Click() {
    const int row = lstForms->currentRow();
    if (filling_ || row < 0 || names_.at(row) == form_.Name) {
        return;
    }
    if (!settleEdits()) {
        const QSignalBlocker block(lstForms);
        lstForms->setCurrentRow(static_cast<int>(names_.indexOf(form_.Name)));
        return;
    }
    showForm(names_.at(row));
}

void frmForms::lstItems_Click() {
    if (filling_ || lstItems->currentRow() < 0) {
        return;
    }
    int row = lstItems->currentRow();
    for (int a = 0; a < form_.Areas.size(); ++a) {
        if (row < form_.Areas[a].Items.size()) {
            SelectItem(a, row);
            return;
        }
        row -= static_cast<int>(form_.Areas[a].Items.size());
    }
}

bool frmForms::changeItem(int area, int item, const FormItem &after, const QString &what) {
    CheckForm candidate = form_;
    candidate.Areas[area].Items[item] = after;
    if (const std::optional<FormFault> fault = FindFormFault(candidate)) {
        lblStatus->setText(fault->Reason);
        return false;
    }
    lblStatus->clear();
    if (!(after == form_.Areas[area].Items[item])) {
        undo_.push(new ItemChange(*this, area, item, form_.Areas[area].Items[item], after, what));
    }
    return true;
}

void frmForms::applyItem(int area, int item, const FormItem &value) {
    form_.Areas[area].Items[item] = value;
    // A stub copy moved onto another stub is named after it.
    fillItemList();
    SelectItem(area, item);
}

bool frmForms::MoveSelected(double x, double y) {
    if (item_ < 0 || !editable()) {
        return false;
    }
    FormItem moved = form_.Areas[area_].Items[item_];
    moved.X = x;
    moved.Y = y;
    return changeItem(area_, item_, moved, QStringLiteral("Move"));
}

void frmForms::txtField_Enter(QLineEdit *box) {
    if (item_ < 0 || !editable()) {
        return;
    }
    const QString field = box == txtX       ? QStringLiteral("X")
                          : box == txtY     ? QStringLiteral("Y")
                          : box == txtWidth ? QStringLiteral("Width")
                                            : QStringLiteral("Font size");
    bool number = false;
    const double value = QLocale::c().toDouble(box->text().trimmed(), &number);
    FormItem changed = form_.Areas[area_].Items[item_];
    if (box == txtX) {
        changed.X = value;
    } else if (box == txtY) {
        changed.Y = value;
    } else if (box == txtWidth) {
        (changed.Field == FormField::Words ? changed.Width : changed.ClipWidth) = value;
    } else {
        changed.FontSize = value;
    }
    if (!number) {
        message(QStringLiteral("%1: \"%2\" is not a number. Type a number such as 1.25.").arg(field, box->text()));
    } else if (!changeItem(area_, item_, changed, field)) {
        message(QStringLiteral("%1: %2").arg(field, lblStatus->text()));
    } else {
        return;
    }
    showFields();
    box->setFocus();
    box->selectAll();
}

QString frmForms::freeName(const QString &base) const {
    QString name = base.left(kLongestFormName);
    for (int n = 2; names_.contains(name, Qt::CaseInsensitive); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        name = base.left(kLongestFormName - suffix.size()) + suffix;
    }
    return name;
}

void frmForms::cmdCopy_Click() {
    if (!settleEdits()) {
        return;
    }
    CheckForm copy = form_;
    copy.Name = freeName(QStringLiteral("Copy of ") + form_.Name);
    copy.BuiltIn = false;
    if (const FileResult saved = SaveForm(catalog_.Folder(), copy); !saved) {
        message(saved.error);
        return;
    }
    fillFormList(copy.Name);
    txtName->setFocus();
    txtName->selectAll();
}

void frmForms::cmdNew_Click() {
    if (!settleEdits()) {
        return;
    }
    CheckForm form;
    form.Name = freeName(QStringLiteral("New form"));
    FormArea area;
    area.Check = QRectF(0, 0, 8.5, 3.5);
    FormItem date{FormField::Date, false, 8.0, 0.75};
    date.RightAnchored = true;
    FormItem amount{FormField::Amount, false, 7.25, 1.25};
    amount.RightAnchored = true;
    FormItem words{FormField::Words, false, 1.0, 1.75};
    words.Width = 4.0;
    area.Items = {date, {FormField::Payee, false, 1.0, 1.25}, amount, words, {FormField::Memo, false, 1.0, 2.5}};
    form.Areas = {area};
    if (const FileResult saved = SaveForm(catalog_.Folder(), form); !saved) {
        message(saved.error);
        return;
    }
    fillFormList(form.Name);
    txtName->setFocus();
    txtName->selectAll();
}

void frmForms::cmdRename_Click() {
    const QString name = txtName->text().trimmed();
    if (!editable() || name == form_.Name) {
        return;
    }
    if (names_.contains(name, Qt::CaseInsensitive) && name.compare(form_.Name, Qt::CaseInsensitive) != 0) {
        message(QStringLiteral("Name: a check form named \"%1\" already exists. Choose another name.").arg(name));
        return;
    }
    // The file as saved takes the new name; edits not yet saved stay edits.
    const std::optional<CheckForm> saved = catalog_.Find(form_.Name);
    if (!saved) {
        message(QStringLiteral("The check form \"%1\" is no longer in %2. Save it first.")
                    .arg(form_.Name, QDir::toNativeSeparators(catalog_.Folder())));
        return;
    }
    CheckForm renamed = *saved;
    renamed.Name = name;
    if (const FileResult written = SaveForm(catalog_.Folder(), renamed); !written) {
        message(written.error);
        return;
    }
    if (form_.Name.compare(name, Qt::CaseInsensitive) != 0) {
        if (const FileResult removed = RemoveForm(catalog_.Folder(), form_.Name); !removed) {
            message(removed.error);
        }
    }
    form_.Name = name;
    fillFormList(name);
}

void frmForms::cmdDelete_Click() {
    if (!editable()) {
        return;
    }
    const QString file = QDir::toNativeSeparators(QDir(catalog_.Folder()).filePath(FormFileName(form_.Name)));
    if (platform_.messages.MsgBox(
            QStringLiteral("Delete the check form \"%1\" (%2)? This cannot be undone.").arg(form_.Name, file),
            MsgButtons::YesNo, kTitle, MsgResult::No) != MsgResult::Yes) {
        return;
    }
    if (const FileResult removed = RemoveForm(catalog_.Folder(), form_.Name); !removed) {
        message(removed.error);
        return;
    }
    undo_.clear();
    form_ = CheckForm{};
    fillFormList(QString());
}

bool frmForms::save() {
    const FileResult saved = SaveForm(catalog_.Folder(), form_);
    if (!saved) {
        message(saved.error);
        return false;
    }
    undo_.setClean();
    lblStatus->setText(QStringLiteral("Saved in %1.")
                           .arg(QDir::toNativeSeparators(QDir(catalog_.Folder()).filePath(FormFileName(form_.Name)))));
    return true;
}

bool frmForms::settleEdits() {
    if (undo_.isClean()) {
        return true;
    }
    const MsgResult answer = platform_.messages.MsgBox(
        QStringLiteral("The check form \"%1\" has changed. Save the changes?").arg(form_.Name),
        MsgButtons::SaveDiscardCancel, kTitle, MsgResult::Save);
    if (answer == MsgResult::Save) {
        return save();
    }
    if (answer == MsgResult::Discard) {
        undo_.clear();
        if (const std::optional<CheckForm> saved = catalog_.Find(form_.Name)) {
            form_ = *saved;
        }
        return true;
    }
    return false;
}

void frmForms::cmdSave_Click() {
    if (editable()) {
        save();
    }
}

void frmForms::cmdTestSheet_Click() {
    if (form_.Areas.isEmpty()) {
        return;
    }
    // As the alignment window prints it: on the printer chosen, moved by that printer's saved offsets
    // for this form.
    std::unique_ptr<Printer> printer = platform_.printerDialog.ShowPrinter(platform_.printers.DefaultPrinterName());
    if (!printer) {
        return;
    }
    AlignmentTable alignment;
    const bool loaded = LoadAlignment(platform_.files, alignment).ok;
    TestSheetRequest request;
    request.Form = form_;
    request.PrinterName = printer->PrinterName();
    request.Offset = alignment.Offset(request.PrinterName, form_.Name);
    request.OffsetSaved = loaded;
    request.DateText = ShortDateText(platform_.clock.Today(), ProgramLocale());
    if (!PrintTestSheet(*printer, request)) {
        message(QStringLiteral("The test sheet could not be printed on \"%1\":\r\n%2")
                    .arg(request.PrinterName, printer->ErrorText()));
        return;
    }
    lblStatus->setText(QStringLiteral("Test sheet of \"%1\" printed on %2.").arg(form_.Name, request.PrinterName));
}

void frmForms::cmdClose_Click() {
    reject();
}

void frmForms::reject() {
    if (settleEdits()) {
        QDialog::reject();
    }
}

void frmForms::message(const QString &text) {
    platform_.messages.MsgBox(text, MsgButtons::OK, kTitle);
}
