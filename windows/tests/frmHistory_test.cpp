#include "history/tests/JournalFixture.h"
#include "platform/QtPrinter.h"
#include "platform/testing/TestHelpers.h"
#include "platform/testing/WhenUp.h"
#include "windows/frmHistory.h"
#include "windows/frmHistoryExport.h"
#include "windows/tests/WindowFixture.h"
#include "windows/tests/frmMainFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>

#include <functional>

namespace {

// A button's access key presses it visibly: the click comes a moment after the key.
void AccessKey(QWidget *window, Qt::Key key, const std::function<bool()> &done) {
    QTest::keyClick(window, key, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor(done, 3000));
}

class HistoryWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        journal = std::make_unique<JournalFile>(kJournalVersion, dir.path());
        journal->add(SampleChecks());
    }
    void TearDown() override {
        watcher.reset();
        delete history.data();
        journal.reset();
        WindowFixture::TearDown();
    }

    // The main menu's History entry, chosen; the test's file access then goes through the
    // program's journal, which holds the file locked.
    frmHistory *openHistory() {
        frmStartup *startup = startAndContinue();
        if (journal) {
            journal->release();
        }
        startup->mnuHistory->trigger();
        history = startup->findChild<frmHistory *>();
        if (history) {
            EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == history; }));
            if (journal) {
                journal->attach(program->Journal());
            }
        }
        return history;
    }

    QList<qint64> shownNumbers() const {
        QList<qint64> numbers;
        for (int row = 0; row < history->Model().rowCount(); ++row) {
            numbers << history->Model().rowAt(row).checkNo;
        }
        return numbers;
    }

    // Moves the list's current row to the check, with the arrow keys.
    void goToCheck(qint64 checkNo) {
        history->grdChecks->setFocus();
        QTest::keyClick(history->grdChecks, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < history->Model().rowCount(); ++i) {
            const QModelIndex current = history->grdChecks->currentIndex();
            if (current.isValid() && history->Model().rowAt(current.row()).checkNo == checkNo) {
                return;
            }
            QTest::keyClick(history->grdChecks, Qt::Key_Down);
        }
        ADD_FAILURE() << "check " << checkNo << " not in the list";
    }

    template <typename T> void whenUp(std::function<void(T &)> inside) { WhenUp<T>(inside, nullptr, watcher.get()); }

    std::unique_ptr<JournalFile> journal;
    QPointer<frmHistory> history;
    std::unique_ptr<QObject> watcher = std::make_unique<QObject>();
};

TEST_F(HistoryWindowTest, theHistoryEntryLeadsTheChecksMenuAndOpensOneWindow) {
    frmStartup *startup = startAndContinue();
    journal->release();
    const QList<QAction *> entries = startup->menuBar->actions();
    // Help, Checks, Setup, Checkbooks; History is the first entry of Checks.
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0]->text(), QStringLiteral("Help"));
    EXPECT_EQ(entries[1], startup->mnuChecks->menuAction());
    ASSERT_FALSE(startup->mnuChecks->actions().isEmpty());
    EXPECT_EQ(startup->mnuChecks->actions().first(), startup->mnuHistory);
    EXPECT_EQ(startup->mnuHistory->text(), QStringLiteral("Hi&story"));
    EXPECT_EQ(startup->mnuHistory->objectName(), QStringLiteral("mnuHistory"));

    // Its access keys open it from the keyboard; choosing it again brings the same window up.
    QTest::keyClick(startup, Qt::Key_K, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([startup] { return startup->mnuChecks->isVisible(); }));
    QTest::keyClick(startup->mnuChecks, Qt::Key_S);
    ASSERT_TRUE(QTest::qWaitFor([startup] { return startup->findChild<frmHistory *>() != nullptr; }));
    startup->mnuHistory->trigger();
    const QList<frmHistory *> windows = startup->findChildren<frmHistory *>();
    ASSERT_EQ(windows.size(), 1);
    history = windows.first();
    EXPECT_TRUE(history->isVisible());
    EXPECT_EQ(shownNumbers(), (QList<qint64>{998, 1001, 1002, 1003, 1004, 1005, 1006, 1007}));
    // The total is what is payable: the six issued checks; the voided and reprinted forms are counted beside.
    EXPECT_EQ(history->lblTotal->text(), QStringLiteral("8 checks: 6 issued, total 1,002,284.51; 2 voided"));
    EXPECT_TRUE(messages.shown.isEmpty());
    for (const char *name : {"fraFilter", "chkDateFrom", "dtpDateFrom", "chkDateTo", "dtpDateTo", "txtPayee",
                             "cboStatus", "txtCheckNoFrom", "txtCheckNoTo", "grdChecks", "lblTotal", "cmdVoid",
                             "cmdExportCsv", "cmdExportPositivePay"}) {
        EXPECT_NE(history->findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;
    }
}

TEST_F(HistoryWindowTest, theHistoryReadsThroughTheJournalsOneConnectionAndLeavesItOpen) {
    journal->release();
    const QStringList before = QSqlDatabase::connectionNames();
    ASSERT_NE(openHistory(), nullptr);
    // The journal's connection is the one more; the history has none of its own.
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), before.size() + 1);
    EXPECT_TRUE(QSqlDatabase::connectionNames().contains(program->Journal().ConnectionName()));
    history->close();
    flushDeletes();
    EXPECT_TRUE(history.isNull());
    EXPECT_TRUE(program->Journal().IsOpen());
    ASSERT_NE(openHistory(), nullptr);
    EXPECT_EQ(history->Model().matchingCount(), 8);
}

// Ctrl+1 to Ctrl+7 sort by the heading of that place; the same key again sorts the other way.
TEST_F(HistoryWindowTest, columnsSortFromTheKeyboard) {
    ASSERT_NE(openHistory(), nullptr);
    history->grdChecks->setFocus();
    const struct {
        Qt::Key key;
        int column;
        bool descending;
        QList<qint64> numbers;
    } steps[] = {
        {Qt::Key_4, ColAmount, false, {1007, 1003, 1002, 998, 1005, 1006, 1001, 1004}},
        {Qt::Key_4, ColAmount, true, {1004, 1001, 1006, 1005, 998, 1002, 1003, 1007}},
        {Qt::Key_1, ColCheckNo, false, {998, 1001, 1002, 1003, 1004, 1005, 1006, 1007}},
    };
    for (const auto &step : steps) {
        QTest::keyClick(history->grdChecks, step.key, Qt::ControlModifier);
        EXPECT_EQ(history->Model().sortOrder().column, step.column);
        EXPECT_EQ(history->Model().sortOrder().descending, step.descending);
        EXPECT_EQ(history->grdChecks->horizontalHeader()->sortIndicatorSection(), step.column);
        EXPECT_EQ(shownNumbers(), step.numbers);
    }
}

TEST_F(HistoryWindowTest, movingBackToTheMainMenuKeepsWhatIsTypedInTheSetup) {
    journal->release();
    // With a settings file, an activation of the main menu would load it over the typed text.
    writeFile(QStringLiteral("DraftMere.txt"),
              settingsBytes({QStringLiteral("Saved Bank"), QStringLiteral("0012-345678"), QStringLiteral("1041"),
                             QStringLiteral("2"), QStringLiteral("Deluxe Wallet-Size")}));
    frmStartup *startup = startAndContinue();
    startup->optMainMenuSub_DblClick(1);
    startup->cmdBookInfo->click();
    startup->txtBankName->setText(QStringLiteral("Typed, not saved"));
    startup->mnuHistory->trigger();
    history = startup->findChild<frmHistory *>();
    ASSERT_NE(history, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(history));
    startup->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(startup));
    EXPECT_EQ(startup->txtBankName->text(), QStringLiteral("Typed, not saved"));
}

TEST_F(HistoryWindowTest, aMissingJournalShowsAnEmptyHistoryAndCreatesNoFile) {
    const QString file = journal->path;
    journal.reset();
    for (const char *suffix : {"", "-wal", "-shm"}) {
        QFile::remove(file + QLatin1String(suffix));
    }
    ASSERT_FALSE(QFile::exists(file));
    ASSERT_NE(openHistory(), nullptr);
    EXPECT_EQ(history->Model().rowCount(), 0);
    EXPECT_EQ(history->lblTotal->text(), QStringLiteral("0 checks: 0 issued, total 0.00; 0 voided"));
    EXPECT_FALSE(history->cmdVoid->isEnabled());
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(HistoryWindowTest, aDamagedJournalNamesTheFileAndOpensNoWindow) {
    const QString file = journal->path;
    journal.reset();
    QFile::remove(file + QStringLiteral("-wal"));
    QFile::remove(file + QStringLiteral("-shm"));
    writeFile(kJournalFolder + QStringLiteral("/CheckJournal.db"),
              QByteArray("not a database at all, just text\r\n").repeated(100));
    EXPECT_EQ(openHistory(), nullptr);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(QDir::toNativeSeparators(file)))
        << messages.shown[0].text.toStdString();
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("then choose History again")))
        << messages.shown[0].text.toStdString();
}

// A journal of a newer program: the history refuses it with the words the print run uses.
TEST_F(HistoryWindowTest, aJournalOfANewerProgramIsRefusedAsPrintingRefusesIt) {
    {
        QSqlQuery newer(QSqlDatabase::database(journal->connection));
        ASSERT_TRUE(newer.exec(QStringLiteral("PRAGMA user_version = %1").arg(kJournalVersion + 1)));
    }
    journal->release();
    CheckJournal printing(dir.path());
    const FileResult refused = printing.CheckNumbersFree(QStringLiteral("1234567"), 2001, 1);
    ASSERT_FALSE(refused.ok);
    EXPECT_EQ(openHistory(), nullptr);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith(refused.error)) << messages.shown[0].text.toStdString();
    EXPECT_TRUE(refused.error.contains(QStringLiteral("newer"))) << refused.error.toStdString();
}

TEST_F(HistoryWindowTest, filtersFollowWhatIsTyped) {
    ASSERT_NE(openHistory(), nullptr);
    history->txtPayee->setFocus();
    QTest::keyClicks(history->txtPayee, QString::fromUtf8("\xc3\x89LODIE"));
    EXPECT_EQ(shownNumbers(), (QList<qint64>{1005, 1006}));
    // 1005 was spoiled and printed again as 1006: only 1006 is payable.
    EXPECT_EQ(history->lblTotal->text(), QStringLiteral("2 checks: 1 issued, total 700.01; 1 voided"));

    // Status by the keyboard: All -> Issued.
    history->cboStatus->setFocus();
    QTest::keyClick(history->cboStatus, Qt::Key_Down);
    EXPECT_EQ(shownNumbers(), (QList<qint64>{1006}));
    QTest::keyClick(history->cboStatus, Qt::Key_Down);
    EXPECT_EQ(shownNumbers(), (QList<qint64>{1005}));

    history->txtPayee->setFocus();
    history->txtPayee->selectAll();
    QTest::keyClick(history->txtPayee, Qt::Key_Delete);
    QTest::keyClick(history->cboStatus, Qt::Key_Home);
    EXPECT_EQ(history->Model().matchingCount(), 8);

    // Check numbers: digits only.
    QTest::keyClicks(history->txtCheckNoFrom, QStringLiteral("1x00-3"));
    EXPECT_EQ(history->txtCheckNoFrom->text(), QStringLiteral("1003"));
    QTest::keyClicks(history->txtCheckNoTo, QStringLiteral("1005"));
    EXPECT_EQ(shownNumbers(), (QList<qint64>{1003, 1004, 1005}));

    // Dates: the box counts only while its check box is on.
    history->dtpDateFrom->setDate(QDate(2026, 11, 30));
    EXPECT_EQ(shownNumbers(), (QList<qint64>{1003, 1004, 1005}));
    history->chkDateFrom->setFocus();
    QTest::keyClick(history->chkDateFrom, Qt::Key_Space);
    EXPECT_TRUE(history->dtpDateFrom->isEnabled());
    EXPECT_EQ(shownNumbers(), (QList<qint64>{1004, 1005}));
}

TEST_F(HistoryWindowTest, clickingAColumnHeadingSortsByIt) {
    ASSERT_NE(openHistory(), nullptr);
    QHeaderView *header = history->grdChecks->horizontalHeader();
    const QPoint amount(header->sectionViewportPosition(ColAmount) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, amount);
    EXPECT_EQ(history->Model().sortOrder().column, ColAmount);
    const bool descending = history->Model().sortOrder().descending;
    QList<qint64> expected{1007, 1003, 1002, 998, 1005, 1006, 1001, 1004};
    if (descending) {
        std::reverse(expected.begin(), expected.end()); // ties (1005, 1006) reverse too
    }
    EXPECT_EQ(shownNumbers(), expected);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, amount);
    EXPECT_NE(history->Model().sortOrder().descending, descending);
}

TEST_F(HistoryWindowTest, theListReadsPagesAsItScrolls) {
    QList<TestCheck> many;
    for (int i = 0; i < 3000; ++i) {
        many.append({5000 + i, "2026-12-02", "Bulk", 100});
    }
    journal->add(many);
    ASSERT_NE(openHistory(), nullptr);
    EXPECT_LT(history->Model().rowCount(), 1000);
    EXPECT_EQ(history->Model().matchingCount(), 3008);
    history->grdChecks->setFocus();
    for (int i = 0; i < 40 && history->Model().canFetchMore(); ++i) {
        QTest::keyClick(history->grdChecks, Qt::Key_End, Qt::ControlModifier);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(history->Model().rowCount(), 3008);
}

TEST_F(HistoryWindowTest, voidAsksReasonAndDateAndTheCheckStaysListedAsVoid) {
    clock.today = QDate(2026, 12, 7);
    ASSERT_NE(openHistory(), nullptr);
    goToCheck(1003);
    EXPECT_FALSE(history->cmdVoid->isEnabled()); // already void
    goToCheck(1002);
    ASSERT_TRUE(history->cmdVoid->isEnabled());

    bool okWasOff = false;
    QDate offered;
    whenUp<frmVoidCheck>([&](frmVoidCheck &dialog) {
        okWasOff = !dialog.cmdOK->isEnabled();
        offered = dialog.dtpVoidDate->date();
        QTest::keyClick(dialog.txtReason, Qt::Key_Return); // no reason yet: nothing happens
        EXPECT_TRUE(dialog.isVisible());
        QTest::keyClicks(dialog.txtReason, QStringLiteral("wrong amount"));
        QTest::keyClick(dialog.txtReason, Qt::Key_Return);
    });
    AccessKey(history, Qt::Key_V, [&] { return offered.isValid(); });
    EXPECT_TRUE(okWasOff);
    EXPECT_EQ(offered, QDate(2026, 12, 7));

    const qint64 id = 2; // 1002 was the second check added
    EXPECT_EQ(journal->value(id, QStringLiteral("status")).toString(), QStringLiteral("voided"));
    EXPECT_EQ(journal->value(id, QStringLiteral("void_reason")).toString(), QStringLiteral("wrong amount"));
    EXPECT_EQ(journal->value(id, QStringLiteral("void_date")).toString(), QStringLiteral("2026-12-07"));
    ASSERT_TRUE(shownNumbers().contains(1002));
    const QModelIndex current = history->grdChecks->currentIndex();
    ASSERT_TRUE(current.isValid());
    EXPECT_EQ(history->Model().rowAt(current.row()).checkNo, 1002);
    EXPECT_EQ(history->Model().data(history->Model().index(current.row(), ColStatus)).toString(),
              QStringLiteral("Void: wrong amount (2026-12-07)"));
    EXPECT_FALSE(history->cmdVoid->isEnabled());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(HistoryWindowTest, escapeOnTheVoidDialogChangesNothing) {
    ASSERT_NE(openHistory(), nullptr);
    goToCheck(1001);
    whenUp<frmVoidCheck>([](frmVoidCheck &dialog) {
        QTest::keyClicks(dialog.txtReason, QStringLiteral("changed my mind"));
        QTest::keyClick(dialog.txtReason, Qt::Key_Escape);
    });
    QTest::keyClick(history->cmdVoid, Qt::Key_Space);
    EXPECT_EQ(journal->value(1, QStringLiteral("status")).toString(), QStringLiteral("issued"));
    EXPECT_TRUE(history->cmdVoid->isEnabled());
}

TEST_F(HistoryWindowTest, aCheckVoidedElsewhereMeanwhileIsReportedNotVoidedTwice) {
    ASSERT_NE(openHistory(), nullptr);
    goToCheck(1001);
    // Voided meanwhile through the journal, as another window of the program would.
    ASSERT_TRUE(program->Journal().VoidCheck(1, QStringLiteral("first"), QDate(2026, 12, 1)).ok);
    whenUp<frmVoidCheck>([](frmVoidCheck &dialog) {
        QTest::keyClicks(dialog.txtReason, QStringLiteral("second"));
        QTest::keyClick(dialog.txtReason, Qt::Key_Return);
    });
    history->cmdVoid->click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("1001"))) << messages.shown[0].text.toStdString();
    EXPECT_EQ(journal->value(1, QStringLiteral("void_reason")).toString(), QStringLiteral("first"));
    EXPECT_FALSE(history->cmdVoid->isEnabled()); // the list shows it void now
}

// Picks a bank layout and the account by keyboard in the export dialog, then presses Return.
void AnswerExport(frmExport &dialog, int layout, int account) {
    dialog.cboLayout->setCurrentIndex(layout);
    dialog.cboAccount->setCurrentIndex(account);
    QTest::keyClick(dialog.cboAccount, Qt::Key_Return);
}

TEST_F(HistoryWindowTest, exportsWriteTheShownRowsWhereTheDialogSays) {
    ASSERT_NE(openHistory(), nullptr);
    QTest::keyClicks(history->txtCheckNoFrom, QStringLiteral("1003"));
    QTest::keyClicks(history->txtCheckNoTo, QStringLiteral("1004"));
    const QString csv = dir.filePath(QStringLiteral("out/history.csv"));
    const QString pay = dir.filePath(QStringLiteral("out/pay.csv"));
    const QString again = dir.filePath(QStringLiteral("out/again.csv"));
    QDir(dir.path()).mkpath(QStringLiteral("out"));
    saveDialog.answers = {csv, pay, again};
    AccessKey(history, Qt::Key_C, [&] { return saveDialog.asked.size() == 1; });
    QStringList accounts;
    whenUp<frmExport>([&](frmExport &dialog) {
        for (int i = 0; i < dialog.cboAccount->count(); ++i) {
            accounts << dialog.cboAccount->itemText(i);
        }
        EXPECT_TRUE(dialog.chkOnlyNew->isChecked());
        AnswerExport(dialog, 2, 0);
    });
    AccessKey(history, Qt::Key_P, [&] { return saveDialog.asked.size() == 2; });
    ASSERT_EQ(saveDialog.asked.size(), 2);
    EXPECT_EQ(accounts, Strings({"1234567 (7 checks)", "7654321 (1 check)"}));
    EXPECT_EQ(saveDialog.asked[0].title, QStringLiteral("Export CSV"));
    EXPECT_EQ(saveDialog.asked[0].suggested, QStringLiteral("CheckHistory-2026-12-07.csv"));
    EXPECT_EQ(saveDialog.asked[1].title, QStringLiteral("Export Positive Pay"));
    EXPECT_EQ(saveDialog.asked[1].suggested, QStringLiteral("PositivePay-1234567-2026-12-07.csv"));
    EXPECT_EQ(readFile(QStringLiteral("out/history.csv")).count("\r\n"), 4); // header, 1003, 1004 (two lines)
    EXPECT_EQ(readFile(QStringLiteral("out/pay.csv")),
              QByteArray("1234567,1003,0.50,112026,V,M\xc3\xbcller & S\xc3\xb6hne\r\n"
                         "1234567,1004,1000000.00,113026,I,line one line two\r\n"));
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[1].text.startsWith(QStringLiteral("2 checks written to")))
        << messages.shown[1].text.toStdString();

    // The journal remembers them: the same export again has nothing new and writes no file.
    whenUp<frmExport>([](frmExport &dialog) { AnswerExport(dialog, 2, 0); });
    history->cmdExportPositivePay->click();
    ASSERT_EQ(messages.shown.size(), 3);
    EXPECT_TRUE(messages.shown[2].text.startsWith(QStringLiteral("No check of account 1234567 is new")))
        << messages.shown[2].text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(again));
}

// The person's own layout: each box that cannot be used is named and the dialog stays; a good one
// is kept in Exports.ini (owner-only, a link planted in its place replaced, not written through)
// and offered again next time.
TEST_F(HistoryWindowTest, theOwnLayoutIsCheckedThenKeptInTheExportSettings) {
    ASSERT_NE(openHistory(), nullptr);
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.txt"));
    writeFile(QStringLiteral("elsewhere.txt"), "not for the export settings");
    ASSERT_TRUE(QFile::setPermissions(elsewhere, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    ASSERT_TRUE(QFile::link(elsewhere, dir.filePath(QStringLiteral("Exports.ini"))));
    const struct {
        const char *box;
        const char *typed;
        const char *named;
    } wrong[] = {{"txtColumns", "number, amonut", "Columns: \"amonut\""},
                 {"txtDateFormat", "MMXX", "Date format: \"MMXX\""},
                 {"txtVoidCode", "I", "Void code: \"I\""}};
    QStringList focusAfter;
    whenUp<frmExport>([&](frmExport &dialog) {
        dialog.cboLayout->setCurrentIndex(dialog.cboLayout->count() - 1);
        ASSERT_TRUE(dialog.fraOwnLayout->isEnabled());
        for (const auto &row : wrong) {
            auto *box = dialog.findChild<QLineEdit *>(QString::fromLatin1(row.box));
            const QString good = box->text();
            box->setText(QString::fromLatin1(row.typed));
            QTest::keyClick(&dialog, Qt::Key_Return);
            EXPECT_TRUE(dialog.isVisible()) << row.box;
            focusAfter << QApplication::focusWidget()->objectName();
            box->setText(good);
        }
        dialog.txtColumns->setText(QStringLiteral("number, amount, code"));
        dialog.txtVoidCode->setText(QStringLiteral("x"));
        dialog.chkHeader->setChecked(true);
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    saveDialog.answers = {dir.filePath(QStringLiteral("own.csv"))};
    history->cmdExportPositivePay->click();
    // The planted link is neither read nor written through: both are refused, naming the file.
    const QString settingsFile = QDir::toNativeSeparators(dir.filePath(QStringLiteral("Exports.ini")));
    ASSERT_EQ(messages.shown.size(), 6);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("The export settings ") + settingsFile))
        << messages.shown[0].text.toStdString();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(messages.shown[i + 1].text.startsWith(QString::fromUtf8(wrong[i].named)))
            << messages.shown[i + 1].text.toStdString();
        EXPECT_EQ(focusAfter.value(i), QString::fromLatin1(wrong[i].box));
    }
    EXPECT_TRUE(messages.shown[4].text.contains(settingsFile)) << messages.shown[4].text.toStdString();
    EXPECT_TRUE(messages.shown[5].text.startsWith(QStringLiteral("7 checks written to")));
    EXPECT_EQ(readFile(QStringLiteral("own.csv")),
              QByteArray("Check Number,Amount,Code\r\n998,250.00,I\r\n1001,1234.50,I\r\n1002,99.99,I\r\n"
                         "1003,0.50,X\r\n1004,1000000.00,I\r\n1005,700.01,X\r\n1006,700.01,I\r\n"));
    EXPECT_EQ(readFile(QStringLiteral("elsewhere.txt")), QByteArray("not for the export settings"));

    // Without the link the own layout is kept, owner-only.
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("Exports.ini"))));
    whenUp<frmExport>([](frmExport &dialog) {
        dialog.cboLayout->setCurrentIndex(dialog.cboLayout->count() - 1);
        dialog.txtColumns->setText(QStringLiteral("number, amount, code"));
        dialog.txtVoidCode->setText(QStringLiteral("x"));
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    saveDialog.answers = {dir.filePath(QStringLiteral("own2.csv"))};
    history->cmdExportPositivePay->click();
    EXPECT_EQ(messages.shown.size(), 7);
    const QFileInfo settings(dir.filePath(QStringLiteral("Exports.ini")));
    EXPECT_FALSE(settings.isSymLink());
    EXPECT_EQ(settings.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions{});
    EXPECT_TRUE(readFile(QStringLiteral("Exports.ini")).contains("Columns=number, amount, code"));

    QString offered;
    whenUp<frmExport>([&](frmExport &dialog) {
        offered = dialog.cboLayout->currentText() + QLatin1Char('|') + dialog.txtColumns->text() + QLatin1Char('|') +
                  dialog.txtVoidCode->text();
        dialog.reject();
    });
    history->cmdExportPositivePay->click();
    EXPECT_EQ(offered, QStringLiteral("My own layout|number, amount, code|X"));
}

TEST_F(HistoryWindowTest, aCancelledExportWritesNothingAndSaysNothing) {
    ASSERT_NE(openHistory(), nullptr);
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    history->cmdExportCsv->click();
    EXPECT_EQ(saveDialog.asked.size(), 1);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

TEST_F(HistoryWindowTest, anExportThatCannotBeWrittenNamesTheFileAndLeavesNone) {
    ASSERT_NE(openHistory(), nullptr);
    const QString target = dir.filePath(QStringLiteral("no such folder/pay.csv"));
    saveDialog.answers = {target};
    whenUp<frmExport>([](frmExport &dialog) { AnswerExport(dialog, 0, 0); });
    history->cmdExportPositivePay->click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(QDir::toNativeSeparators(target)))
        << messages.shown[0].text.toStdString();
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Export Positive Pay"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("no such folder"))));
}

// History stays open while checks are printed and voided: it shows each run when it comes to the
// front again, and neither a run nor a void through it fails while its list of a long run is half
// read over the journal's one connection.
class HistoryOverRunsTest : public EntryWindowTest {
protected:
    // The person turns to the entry window and prints what is pending.
    void printPending() {
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main));
        main->cmdExpense[6]->click();
        main->cmPrintSummary[0]->click();
    }
    void backToHistory() {
        history->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(history));
    }
    QPointer<frmHistory> history;
};

TEST_F(HistoryOverRunsTest, showsEachRunAndVoidsWhileItsListIsHalfRead) {
    const QString pdf = dir.filePath(QStringLiteral("run.pdf"));
    printerDialog.makePrinter = [pdf] { return MakePdfPrinter(pdf); };
    startup->mnuHistory->trigger();
    history = startup->findChild<frmHistory *>();
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->lblTotal->text(), QStringLiteral("0 checks: 0 issued, total 0.00; 0 voided"));

    WritePending(250, 1001);
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    printPending();
    ASSERT_FALSE(RegisterExists());
    backToHistory();
    EXPECT_EQ(history->lblTotal->text(), QStringLiteral("250 checks: 250 issued, total 2,500.00; 0 voided"));
    ASSERT_TRUE(history->Model().canFetchMore()); // its read of the list is still open

    // A second run while the history is open over the first.
    OpenEntry(Setup(QStringLiteral("1251"), QStringLiteral("3")));
    AcceptCheck(QStringLiteral("Payee 251"), QStringLiteral("20.50"), QStringLiteral("Memo"));
    printPending();
    ASSERT_FALSE(RegisterExists());
    // The run's end is shown at once, before the window comes to the front again.
    EXPECT_EQ(history->lblTotal->text(), QStringLiteral("251 checks: 251 issued, total 2,520.50; 0 voided"));
    backToHistory();
    EXPECT_EQ(history->lblTotal->text(), QStringLiteral("251 checks: 251 issued, total 2,520.50; 0 voided"));

    // A void of the first check through the window.
    ASSERT_TRUE(history->Model().canFetchMore());
    history->grdChecks->setFocus();
    history->grdChecks->setCurrentIndex(history->Model().index(0, ColCheckNo));
    ASSERT_EQ(history->Model().rowAt(0).checkNo, 1001);
    WhenUp<frmVoidCheck>(
        [](frmVoidCheck &dialog) {
            QTest::keyClicks(dialog.txtReason, QStringLiteral("lost in the mail"));
            QTest::keyClick(dialog.txtReason, Qt::Key_Return);
        },
        nullptr, history);
    history->cmdVoid->click();
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.value(0).text.toStdString();
    EXPECT_EQ(history->lblTotal->text(), QStringLiteral("251 checks: 250 issued, total 2,510.50; 1 voided"));
    EXPECT_EQ(history->Model().rowAt(0).status, QStringLiteral("voided"));
    QList<CheckJournal::Row> rows;
    ASSERT_TRUE(program->Journal().LoadChecks(rows).ok);
    ASSERT_EQ(rows.size(), 251);
    EXPECT_EQ(rows[0].status, QStringLiteral("voided"));
    EXPECT_EQ(rows[250].check.payee, QStringLiteral("Payee 251"));
}

} // namespace
