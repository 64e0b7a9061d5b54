#include "windows/frmJournal.h"

#include "history/HistoryQuery.h"
#include "journal/CheckJournal.h"
#include "journal/RunEnd.h"
#include "windows/Program.h"
#include "windows/frmStartup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Check Journal");
// libpq's sslmode values; the first entry leaves the choice to libpq.
const QStringList kSslModes = {QString(),
                               QStringLiteral("disable"),
                               QStringLiteral("allow"),
                               QStringLiteral("prefer"),
                               QStringLiteral("require"),
                               QStringLiteral("verify-ca"),
                               QStringLiteral("verify-full")};
const QString kSuggestedSsl = QStringLiteral("require");

QLineEdit *makeBox(const QString &name, QWidget *parent) {
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(200);
    return box;
}

QPushButton *makeButton(const QString &caption, const QString &name, QWidget *parent) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmJournal::frmJournal(Program &program, QWidget *parent) : QDialog(parent), program_(program) {
    setObjectName(QStringLiteral("frmJournal"));
    setWindowTitle(kTitle);
    createControls();
    saved_ = program_.Journal().Place();
    showPlace(saved_);
    loadApproval();
    (saved_.server ? optServer : optEmbedded)->setFocus();
}

void frmJournal::createControls() {
    optEmbedded = new QRadioButton(QStringLiteral("The &embedded journal on this computer"), this);
    optEmbedded->setObjectName(QStringLiteral("optEmbedded"));
    optServer = new QRadioButton(QStringLiteral("A &PostgreSQL server"), this);
    optServer->setObjectName(QStringLiteral("optServer"));

    fraServer = new QGroupBox(QStringLiteral("Server"), this);
    fraServer->setObjectName(QStringLiteral("fraServer"));
    txtService = makeBox(QStringLiteral("txtService"), fraServer);
    txtService->setPlaceholderText(QStringLiteral("a service of pg_service.conf"));
    txtHost = makeBox(QStringLiteral("txtHost"), fraServer);
    txtHost->setPlaceholderText(QStringLiteral("host name, address or socket folder"));
    txtPort = makeBox(QStringLiteral("txtPort"), fraServer);
    txtPort->setValidator(new QIntValidator(1, 65535, txtPort));
    txtPort->setPlaceholderText(QStringLiteral("5432"));
    txtDatabase = makeBox(QStringLiteral("txtDatabase"), fraServer);
    txtUser = makeBox(QStringLiteral("txtUser"), fraServer);
    txtUser->setPlaceholderText(QStringLiteral("your login name"));
    cboSslMode = new QComboBox(fraServer);
    cboSslMode->setObjectName(QStringLiteral("cboSslMode"));
    for (const QString &mode : kSslModes) {
        cboSslMode->addItem(mode.isEmpty() ? QStringLiteral("(libpq's default)") : mode, mode);
    }
    lblPassword = new QLabel(QStringLiteral("The password comes from ~/.pgpass or the service file; Quillane never "
                                            "keeps it."),
                             fraServer);
    lblPassword->setObjectName(QStringLiteral("lblPassword"));
    lblPassword->setWordWrap(true);
    cmdTest = makeButton(QStringLiteral("&Test Connection"), QStringLiteral("cmdTest"), fraServer);
    cmdMove = makeButton(QStringLiteral("&Move This Journal to the Server..."), QStringLiteral("cmdMove"), fraServer);

    auto *hostRow = new QHBoxLayout;
    hostRow->addWidget(txtHost, 1);
    auto *portLabel = new QLabel(QStringLiteral("P&ort:"), fraServer);
    portLabel->setBuddy(txtPort);
    hostRow->addWidget(portLabel);
    txtPort->setMaximumWidth(txtPort->fontMetrics().horizontalAdvance(QStringLiteral("655350")) + 16);
    hostRow->addWidget(txtPort);
    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Ser&vice:"), txtService);
    auto *hostLabel = new QLabel(QStringLiteral("&Host:"), fraServer);
    hostLabel->setBuddy(txtHost);
    fields->addRow(hostLabel, hostRow);
    fields->addRow(QStringLiteral("&Database:"), txtDatabase);
    fields->addRow(QStringLiteral("&User:"), txtUser);
    fields->addRow(QStringLiteral("SS&L mode:"), cboSslMode);
    auto *serverButtons = new QHBoxLayout;
    serverButtons->addWidget(cmdTest);
    serverButtons->addWidget(cmdMove);
    serverButtons->addStretch(1);
    auto *server = new QVBoxLayout(fraServer);
    server->addLayout(fields);
    server->addWidget(lblPassword);
    server->addLayout(serverButtons);

    lblInUse = new QLabel(this);
    lblInUse->setObjectName(QStringLiteral("lblInUse"));
    lblInUse->setTextFormat(Qt::PlainText);
    lblInUse->setWordWrap(true);

    fraApproval = new QGroupBox(QStringLiteral("Approval"), this);
    fraApproval->setObjectName(QStringLiteral("fraApproval"));
    chkApproval = new QCheckBox(QStringLiteral("Checks &above"), fraApproval);
    chkApproval->setObjectName(QStringLiteral("chkApproval"));
    txtApprovalAbove = makeBox(QStringLiteral("txtApprovalAbove"), fraApproval);
    txtApprovalAbove->setMaxLength(16);
    txtApprovalAbove->setPlaceholderText(QStringLiteral("500.00"));
    txtApprovalAbove->setMaximumWidth(
        txtApprovalAbove->fontMetrics().horizontalAdvance(QStringLiteral("0,000,000.00")) + 16);
    lblApproval = new QLabel(QStringLiteral("need a second person's approval"), fraApproval);
    lblApproval->setObjectName(QStringLiteral("lblApproval"));
    auto *approval = new QHBoxLayout(fraApproval);
    approval->addWidget(chkApproval);
    approval->addWidget(txtApprovalAbove);
    approval->addWidget(lblApproval, 1);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setTextFormat(Qt::PlainText);
    lblStatus->setWordWrap(true);
    cmdSave = makeButton(QStringLiteral("&Save"), QStringLiteral("cmdSave"), this);
    // Return in a field saves.
    cmdSave->setDefault(true);
    cmdCancel = makeButton(QStringLiteral("Cancel"), QStringLiteral("cmdCancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);

    auto *whole = new QVBoxLayout(this);
    whole->addWidget(optEmbedded);
    whole->addWidget(optServer);
    whole->addWidget(fraServer);
    whole->addWidget(lblInUse);
    whole->addWidget(fraApproval);
    whole->addWidget(lblStatus);
    whole->addStretch(1);
    whole->addLayout(buttons);

    QWidget *order[] = {optEmbedded, optServer, txtService, txtHost,     txtPort,          txtDatabase, txtUser,
                        cboSslMode,  cmdTest,   cmdMove,    chkApproval, txtApprovalAbove, cmdSave,     cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    for (QRadioButton *option : {optEmbedded, optServer}) {
        connect(option, &QRadioButton::toggled, this, &frmJournal::fieldsChanged);
    }
    for (QLineEdit *box : {txtService, txtPort, txtDatabase, txtUser, txtApprovalAbove}) {
        connect(box, &QLineEdit::textChanged, this, &frmJournal::fieldsChanged);
    }
    connect(txtHost, &QLineEdit::textEdited, this, &frmJournal::hostEdited);
    connect(txtHost, &QLineEdit::textChanged, this, &frmJournal::fieldsChanged);
    connect(cboSslMode, &QComboBox::activated, this, [this] { sslChosen_ = true; });
    connect(cboSslMode, &QComboBox::currentIndexChanged, this, &frmJournal::fieldsChanged);
    connect(chkApproval, &QCheckBox::toggled, this, &frmJournal::fieldsChanged);
    connect(cmdTest, &QPushButton::clicked, this, &frmJournal::cmdTest_Click);
    connect(cmdMove, &QPushButton::clicked, this, &frmJournal::cmdMove_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmJournal::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmJournal::reject);
    setMinimumWidth(sizeHint().width() + 120);
}

void frmJournal::showPlace(const JournalPlace &place) {
    (place.server ? optServer : optEmbedded)->setChecked(true);
    txtService->setText(place.service);
    txtHost->setText(place.host);
    txtPort->setText(place.port == 0 ? QString() : QString::number(place.port));
    txtDatabase->setText(place.database);
    txtUser->setText(place.user);
    cboSslMode->setCurrentIndex(std::max(0, static_cast<int>(kSslModes.indexOf(place.sslMode))));
    // A saved server keeps its mode; a new one follows the host typed.
    sslChosen_ = place.server;
    lblInUse->setText(QStringLiteral("In use: %1.").arg(program_.Journal().Where()));
    // Only the embedded journal in use can move, and only when it holds checks: its file is looked
    // for first so that the look does not create it.
    movable_ = false;
    CheckJournal &journal = program_.Journal();
    if (!place.server && QFileInfo::exists(journal.Path())) {
        QList<CheckJournal::Row> rows;
        movable_ = journal.LoadChecks(rows) && !rows.isEmpty();
    }
    fieldsChanged();
}

void frmJournal::loadApproval() {
    account_ = AccountDigits(program_.Startup()->Settings().AcctNo);
    limitKnown_ = false;
    savedLimit_ = 0;
    if (account_.isEmpty()) {
        fraApproval->setTitle(QStringLiteral("Approval (set up the checkbook's account first)"));
    } else {
        fraApproval->setTitle(QStringLiteral("Approval for the account ending %1").arg(account_.right(4)));
        if (const FileResult loaded = program_.Journal().LoadApprovalLimit(account_, &savedLimit_); !loaded) {
            lblStatus->setText(loaded.error);
        } else {
            limitKnown_ = true;
        }
    }
    chkApproval->setChecked(savedLimit_ > 0);
    txtApprovalAbove->setText(savedLimit_ > 0 ? PlainAmount(savedLimit_) : QString());
    fraApproval->setEnabled(limitKnown_);
    fieldsChanged();
}

JournalPlace frmJournal::Typed() const {
    JournalPlace place;
    place.server = optServer->isChecked();
    if (!place.server) {
        return place;
    }
    place.service = txtService->text().trimmed();
    if (place.service.isEmpty()) {
        place.host = txtHost->text().trimmed();
        place.port = txtPort->text().trimmed().toInt();
        place.database = txtDatabase->text().trimmed();
        place.user = txtUser->text().trimmed();
    }
    place.sslMode = cboSslMode->currentData().toString();
    return place;
}

void frmJournal::hostEdited() {
    if (sslChosen_) {
        return;
    }
    // TLS for anything but a local socket, whose folder starts with '/'.
    const QString host = txtHost->text().trimmed();
    const bool remote = !host.isEmpty() && !host.startsWith(QLatin1Char('/'));
    cboSslMode->setCurrentIndex(remote ? static_cast<int>(kSslModes.indexOf(kSuggestedSsl)) : 0);
}

void frmJournal::fieldsChanged() {
    const bool server = optServer->isChecked();
    fraServer->setEnabled(server);
    // A service alone names the server.
    const bool byService = !txtService->text().trimmed().isEmpty();
    for (QLineEdit *box : {txtHost, txtPort, txtDatabase, txtUser}) {
        box->setEnabled(!byService);
    }
    const JournalPlace place = Typed();
    cmdTest->setEnabled(server);
    cmdMove->setEnabled(server && movable_ && place.Fault().isEmpty());
    txtApprovalAbove->setEnabled(chkApproval->isChecked());
}

bool frmJournal::typedLimit(qint64 *cents) {
    *cents = 0;
    if (!chkApproval->isChecked()) {
        return true;
    }
    if (!AmountCents(txtApprovalAbove->text().trimmed().remove(QLatin1Char(',')), cents) || *cents <= 0) {
        message(QStringLiteral("\"%1\" is not an amount. Type the amount above which checks need a second person's "
                               "approval, such as 500.00, or clear \"Checks above\".")
                    .arg(txtApprovalAbove->text()));
        txtApprovalAbove->setFocus();
        return false;
    }
    return true;
}

bool frmJournal::IsChanged() const {
    if (Typed() != saved_) {
        return true;
    }
    if (!limitKnown_) {
        return false;
    }
    qint64 cents = 0;
    const bool read =
        !chkApproval->isChecked() || AmountCents(txtApprovalAbove->text().trimmed().remove(QLatin1Char(',')), &cents);
    return !read || cents != savedLimit_;
}

void frmJournal::cmdTest_Click() {
    const JournalPlace place = Typed();
    if (const QString fault = place.Fault(); !fault.isEmpty()) {
        message(fault);
        return;
    }
    lblStatus->setText(QStringLiteral("Connecting to %1...").arg(place.Describe()));
    lblStatus->repaint();
    CheckJournal probe(program_.platform.files.Root());
    probe.SetPlace(place);
    probe.SetWho(program_.Who());
    const FileResult opened = probe.Open();
    lblStatus->clear();
    if (!opened) {
        message(opened.error);
        return;
    }
    message(QStringLiteral("Connected to %1. The check journal there is ready.").arg(place.Describe()));
}

void frmJournal::cmdMove_Click() {
    const JournalPlace place = Typed();
    if (const QString fault = place.Fault(); !fault.isEmpty()) {
        message(fault);
        return;
    }
    CheckJournal &journal = program_.Journal();
    const MsgResult answer = program_.platform.messages.MsgBox(
        QStringLiteral("Copy every run, check and payee of the journal on this computer (%1) to %2, and use the "
                       "server's journal from now on?\r\n\r\nThe file stays beside the program as it is, read-only.")
            .arg(QDir::toNativeSeparators(journal.Path()), place.Describe()),
        MsgButtons::YesNo, kTitle, MsgResult::No);
    if (answer != MsgResult::Yes) {
        return;
    }
    CheckJournal server(program_.platform.files.Root());
    server.SetPlace(place);
    server.SetWho(program_.Who());
    JournalMove moved;
    FileResult result = server.Open();
    if (result) {
        result = journal.MoveTo(server, &moved);
    }
    server.Close();
    if (!result) {
        message(result.error);
        return;
    }
    const QString where = place.Describe();
    if (!usePlace(place, true)) {
        message(QStringLiteral("The journal was copied to %1, but the program could not be switched to it. Choose the "
                               "server again and press Save.")
                    .arg(where));
        return;
    }
    movable_ = false;
    fieldsChanged();
    const auto count = [](qint64 n, const char *one, const char *many) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    message(QStringLiteral("%1 and %2 (%3 in all) and %4 were copied to %5; the counts and totals agree. The journal "
                           "is now kept there.\r\n\r\nThe file on this computer is kept read-only as %6.")
                .arg(count(moved.runs, "run", "runs"), count(moved.checks, "check", "checks"),
                     GroupedAmount(moved.cents), count(moved.payees, "payee", "payees"), where,
                     QDir::toNativeSeparators(moved.keptFile)));
}

bool frmJournal::usePlace(const JournalPlace &place, bool moved) {
    // A run whose end was never recorded, or file work still owed, is the journal in use's to settle:
    // another journal would not know those numbers and would print them again.
    CheckJournal &journal = program_.Journal();
    QList<UnresolvedRun> runs;
    QList<DueWork> due;
    FileResult read = moved ? FileResult::Ok() : journal.LoadUnresolved(runs);
    if (read && !moved) {
        read = journal.LoadDueWork(due);
    }
    if (!read) {
        message(read.error + QStringLiteral("\r\nThe journal in use must answer before another takes its place, so "
                                            "that no print run is left unsettled. Make sure it can be reached, then "
                                            "save again."));
        return false;
    }
    if (!runs.isEmpty() || !due.isEmpty()) {
        message(QStringLiteral("A print run recorded in %1 is not settled yet: its forms are still to be reviewed, or "
                               "the files to be brought up to date. Open Print Checks so that it is settled, then "
                               "change the journal's place.")
                    .arg(journal.Where()));
        return false;
    }
    if (const FileResult written = SaveJournalPlace(program_.platform.files, place); !written) {
        message(written.error);
        return false;
    }
    program_.Journal().SetPlace(place);
    saved_ = place;
    sslChosen_ = place.server;
    lblInUse->setText(QStringLiteral("In use: %1.").arg(program_.Journal().Where()));
    // Whoever shows the journal reads it from its new place.
    program_.NotifyJournalChanged();
    return true;
}

bool frmJournal::save() {
    const JournalPlace place = Typed();
    if (const QString fault = place.Fault(); !fault.isEmpty()) {
        message(fault);
        (txtService->text().trimmed().isEmpty() ? txtHost : txtService)->setFocus();
        return false;
    }
    qint64 cents = 0;
    if (limitKnown_ && !typedLimit(&cents)) {
        return false;
    }
    if (place != saved_ && !usePlace(place)) {
        return false;
    }
    // The limit belongs to the journal now in use.
    if (limitKnown_ && cents != savedLimit_) {
        if (const FileResult written = program_.Journal().SaveApprovalLimit(account_, cents); !written) {
            message(written.error);
            return false;
        }
        savedLimit_ = cents;
    }
    return true;
}

void frmJournal::cmdSave_Click() {
    if (save()) {
        accept();
    }
}

void frmJournal::reject() {
    if (IsChanged()) {
        const MsgResult answer =
            program_.platform.messages.MsgBox(QStringLiteral("The journal's settings have changed. Save the changes?"),
                                              MsgButtons::SaveDiscardCancel, kTitle, MsgResult::Save);
        if (answer == MsgResult::Cancel || (answer == MsgResult::Save && !save())) {
            return;
        }
    }
    QDialog::reject();
}

void frmJournal::message(const QString &text) {
    program_.platform.messages.MsgBox(text, MsgButtons::OK, kTitle);
}
