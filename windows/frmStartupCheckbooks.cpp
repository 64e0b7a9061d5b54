// The checkbooks menu of the main menu window: which checkbook is open, and opening, adding,
// renaming and removing one.
#include "windows/frmStartup.h"

#include "checkbook/Checkbooks.h"
#include "windows/Program.h"
#include "windows/frmHistory.h"
#include "windows/frmMain.h"

#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

void frmStartup::createCheckbookMenu() {
    mnuCheckbooks = menuBar->addMenu(QStringLiteral("Check&books"));
    mnuCheckbooks->setObjectName(QStringLiteral("mnuCheckbooks"));
    mnuCheckbookOpen = mnuCheckbooks->addMenu(QStringLiteral("&Open"));
    mnuCheckbookOpen->setObjectName(QStringLiteral("mnuCheckbookOpen"));
    mnuCheckbookAdd = mnuCheckbooks->addAction(QStringLiteral("&Add Checkbook..."));
    mnuCheckbookAdd->setObjectName(QStringLiteral("mnuCheckbookAdd"));
    connect(mnuCheckbookAdd, &QAction::triggered, this, &frmStartup::mnuCheckbookAdd_Click);
    mnuCheckbookRename = mnuCheckbooks->addAction(QStringLiteral("&Rename Checkbook..."));
    mnuCheckbookRename->setObjectName(QStringLiteral("mnuCheckbookRename"));
    connect(mnuCheckbookRename, &QAction::triggered, this, &frmStartup::mnuCheckbookRename_Click);
    mnuCheckbookRemove = mnuCheckbooks->addMenu(QStringLiteral("Re&move"));
    mnuCheckbookRemove->setObjectName(QStringLiteral("mnuCheckbookRemove"));
    // The folders are read when the menu opens, never at start-up.
    connect(mnuCheckbooks, &QMenu::aboutToShow, this, &frmStartup::fillCheckbookMenus);
    connect(&program_, &Program::CheckbookChanged, this, &frmStartup::checkbookChanged);
}

void frmStartup::fillCheckbookMenus() {
    Checkbooks &books = program_.CheckbookList();
    if (const FileResult read = books.Refresh(); !read) {
        checkbookMessage(read.error);
    }
    mnuCheckbookOpen->clear();
    mnuCheckbookRemove->clear();
    const CheckbookList &list = books.List();
    for (int index = 0; index < list.names.size(); ++index) {
        // Access keys 1 to 9, then none.
        const QString key = index < 9 ? QStringLiteral("&%1 ").arg(index + 1) : QString();
        QAction *open = mnuCheckbookOpen->addAction(key + list.names[index]);
        open->setCheckable(true);
        open->setChecked(index == list.open);
        connect(open, &QAction::triggered, this, [this, index] { mnuCheckbookOpen_Click(index); });
        if (index != list.open && index != 0) {
            QAction *remove = mnuCheckbookRemove->addAction(key + list.names[index]);
            connect(remove, &QAction::triggered, this, [this, index] { mnuCheckbookRemove_Click(index); });
        }
    }
    mnuCheckbookRemove->setEnabled(!mnuCheckbookRemove->isEmpty());
}

QString frmStartup::CheckbookCaption() const {
    const QString name = program_.CheckbookList().OpenName();
    const CheckbookSettings settings = Settings();
    const QString digits = AccountNumberDigits(settings.AcctNo);
    if (digits.isEmpty()) {
        return QStringLiteral("Checkbook: %1").arg(name);
    }
    return QStringLiteral("Checkbook: %1 - %2 ...%3").arg(name, settings.BankName.trimmed(), digits.right(4));
}

void frmStartup::showCheckbook() {
    // A long name or bank gives way in the middle, so that the account's last digits always show.
    const QString caption = CheckbookCaption();
    lblCheckbook->ensurePolished();
    const int room = lblCheckbook->contentsRect().width() - 2 * lblCheckbook->margin() - 4;
    lblCheckbook->setText(QFontMetrics(lblCheckbook->font()).elidedText(caption, Qt::ElideMiddle, room));
    lblCheckbook->setToolTip(caption);
}

void frmStartup::checkbookMessage(const QString &text) {
    program_.platform.messages.MsgBox(text, MsgButtons::OK, QStringLiteral("Checkbooks"));
}

QString frmStartup::askCheckbookName(const QString &title, const QString &name) {
    if (program_.AskCheckbookName) {
        return program_.AskCheckbookName(title, name);
    }
    bool ok = false;
    const QString typed =
        QInputDialog::getText(this, title, QStringLiteral("&Name of the checkbook:"), QLineEdit::Normal, name, &ok);
    return ok ? typed : QString();
}

void frmStartup::checkbookChanged() {
    LoadDraftMereInfo();
    showCheckbook();
    offerCheckbooks();
}

void frmStartup::offerCheckbooks() {
    if (!history_) {
        return;
    }
    Checkbooks &books = program_.CheckbookList();
    books.Refresh();
    QList<std::pair<QString, QString>> offered;
    for (int index = 0; index < books.List().names.size(); ++index) {
        const SettingsLoad load = books.Settings(index);
        const QString digits =
            load.state == SettingsState::Loaded ? AccountNumberDigits(load.settings.AcctNo) : QString();
        // A checkbook with no account yet has printed nothing: "-" is no account's digits.
        offered.append({books.List().names[index], digits.isEmpty() ? QStringLiteral("-") : digits});
    }
    history_->SetCheckbooks(offered, books.List().open);
}

void frmStartup::mnuCheckbookOpen_Click(int index) {
    Checkbooks &books = program_.CheckbookList();
    if (index == books.List().open) {
        return;
    }
    // Checks typed in the entry window are printed or given up first, as when it is left.
    if (program_.Main()->RefuseSwitch()) {
        return;
    }
    if (const FileResult opened = program_.OpenCheckbook(index); !opened) {
        checkbookMessage(opened.error);
    }
}

void frmStartup::mnuCheckbookAdd_Click() {
    if (program_.Main()->RefuseSwitch()) {
        return;
    }
    const QString name = askCheckbookName(QStringLiteral("Add Checkbook"), QString());
    if (name.isEmpty()) {
        return;
    }
    if (const FileResult added = program_.CheckbookList().Add(name); !added) {
        checkbookMessage(added.error);
        return;
    }
    // The new checkbook is open and not set up: the checkbook type panel of the first run shows.
    program_.CheckbooksChanged();
}

void frmStartup::mnuCheckbookRename_Click() {
    Checkbooks &books = program_.CheckbookList();
    const int open = books.List().open;
    const QString name = askCheckbookName(QStringLiteral("Rename Checkbook"), books.OpenName());
    if (name.isEmpty() || name == books.OpenName()) {
        return;
    }
    if (const FileResult renamed = books.Rename(open, name); !renamed) {
        checkbookMessage(renamed.error);
        return;
    }
    program_.CheckbooksChanged();
}

void frmStartup::mnuCheckbookRemove_Click(int index) {
    Checkbooks &books = program_.CheckbookList();
    const QString name = books.List().names.value(index);
    const MsgResult answer = program_.platform.messages.MsgBox(
        QStringLiteral("Remove the checkbook \"%1\"?\r\nIts setup and its folder are deleted; the check journal "
                       "keeps the checks it printed.")
            .arg(name),
        MsgButtons::YesNo, QStringLiteral("Remove Checkbook"), MsgResult::No);
    if (answer != MsgResult::Yes) {
        return;
    }
    if (const FileResult removed = books.Remove(index); !removed) {
        checkbookMessage(removed.error);
    }
}
