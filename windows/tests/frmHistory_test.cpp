#include "history/tests/JournalFixture.h"
#include "windows/frmHistory.h"
#include "windows/tests/WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QTableView>
#include <QTimer>

#include <functional>

namespace {

// Runs `inside` once a modal window of type T is up; nothing runs once `context` is gone.
template <typename T> void WhenUp(QObject *context, std::function<void(T &)> inside, int triesLeft = 300) {
    QTimer::singleShot(10, context, [context, inside, triesLeft] {
        if (auto *shown = qobject_cast<T *>(QApplication::activeModalWidget())) {
            inside(*shown);
        } else if (triesLeft > 0) {
            WhenUp<T>(context, inside, triesLeft - 1);
        } else {
            ADD_FAILURE() << "the dialog did not come up";
        }
    });
}

// A button's access key presses it visibly: the click comes a moment after the key.
void AccessKey(QWidget *window, Qt::Key key, const std::function<bool()> &done) {
    QTest::keyClick(window, key, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor(done, 3000));
}

class HistoryWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        journal = std::make_unique<JournalFile>(2, dir.path());
        journal->add(SampleChecks());
    }
    void TearDown() override {
        watcher.reset();
        delete history.data();
        journal.reset();
        WindowFixture::TearDown();
    }

    // The main menu's History entry, chosen.
    frmHistory *openHistory() {
        frmStartup *startup = startAndContinue();
        startup->mnuHistory->trigger();
        history = startup->findChild<frmHistory *>();
        if (history) {
            EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == history; }));
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

    template <typename T> void whenUp(std::function<void(T &)> inside) { WhenUp<T>(watcher.get(), inside); }

    std::unique_ptr<JournalFile> journal;
    QPointer<frmHistory> history;
    std::unique_ptr<QObject> watcher = std::make_unique<QObject>();
};

TEST_F(HistoryWindowTest, theHistoryEntryStandsBesideHelpAndOpensOneWindow) {
    frmStartup *startup = startAndContinue();
    const QList<QAction *> entries = startup->menuBar->actions();
    // Help, History, Printer Alignment, Check Forms.
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0]->text(), QStringLiteral("Help"));
    EXPECT_EQ(entries[1]->text(), QStringLiteral("History"));
    EXPECT_EQ(entries[1]->objectName(), QStringLiteral("mnuHistory"));

    startup->mnuHistory->trigger();
    startup->mnuHistory->trigger();
    const QList<frmHistory *> windows = startup->findChildren<frmHistory *>();
    ASSERT_EQ(windows.size(), 1);
    history = windows.first();
    EXPECT_TRUE(history->isVisible());
    EXPECT_EQ(shownNumbers(), (QList<qint64>{998, 1001, 1002, 1003, 1004, 1005, 1006, 1007}));
    EXPECT_EQ(history->lblTotal->text(), QStringLiteral("8 checks, total 1,002,985.02"));
    EXPECT_TRUE(messages.shown.isEmpty());
    for (const char *name : {"fraFilter", "chkDateFrom", "dtpDateFrom", "chkDateTo", "dtpDateTo", "txtPayee",
                             "cboStatus", "txtCheckNoFrom", "txtCheckNoTo", "grdChecks", "lblTotal", "cmdVoid",
                             "cmdExportCsv", "cmdExportPositivePay"}) {
        EXPECT_NE(history->findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;
    }
}

TEST_F(HistoryWindowTest, closingTheWindowClosesItsConnectionAndTheMenuOpensAFreshOne) {
    ASSERT_NE(openHistory(), nullptr);
    const QStringList before = QSqlDatabase::connectionNames();
    history->close();
    flushDeletes();
    EXPECT_TRUE(history.isNull());
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), before.size() - 1);
    ASSERT_NE(openHistory(), nullptr);
    EXPECT_EQ(history->Model().matchingCount(), 8);
}

TEST_F(HistoryWindowTest, movingBackToTheMainMenuKeepsWhatIsTypedInTheSetup) {
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
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_NE(openHistory(), nullptr);
    EXPECT_EQ(history->Model().rowCount(), 0);
    EXPECT_EQ(history->lblTotal->text(), QStringLiteral("0 checks, total 0.00"));
    EXPECT_FALSE(history->cmdVoid->isEnabled());
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(HistoryWindowTest, aDamagedJournalNamesTheFileAndOpensNoWindow) {
    const QString file = journal->path;
    journal.reset();
    QFile::remove(file + QStringLiteral("-wal"));
    QFile::remove(file + QStringLiteral("-shm"));
    writeFile(QStringLiteral("CheckJournal.db"), QByteArray("not a database at all, just text\r\n").repeated(100));
    EXPECT_EQ(openHistory(), nullptr);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(QDir::toNativeSeparators(file)))
        << messages.shown[0].text.toStdString();
}

TEST_F(HistoryWindowTest, filtersFollowWhatIsTyped) {
    ASSERT_NE(openHistory(), nullptr);
    history->txtPayee->setFocus();
    QTest::keyClicks(history->txtPayee, QString::fromUtf8("\xc3\x89LODIE"));
    EXPECT_EQ(shownNumbers(), (QList<qint64>{1005, 1006}));
    EXPECT_EQ(history->lblTotal->text(), QStringLiteral("2 checks, total 1,400.02"));

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
    QSqlQuery(QSqlDatabase::database(journal->connection))
        .exec(QStringLiteral("UPDATE checks SET status = 'voided', void_reason = 'first', void_date = '2026-12-01' "
                             "WHERE id = 1"));
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

TEST_F(HistoryWindowTest, exportsWriteTheShownRowsWhereTheDialogSays) {
    ASSERT_NE(openHistory(), nullptr);
    QTest::keyClicks(history->txtCheckNoFrom, QStringLiteral("1003"));
    QTest::keyClicks(history->txtCheckNoTo, QStringLiteral("1004"));
    const QString csv = dir.filePath(QStringLiteral("out/history.csv"));
    const QString pay = dir.filePath(QStringLiteral("out/pay.csv"));
    QDir(dir.path()).mkpath(QStringLiteral("out"));
    saveDialog.answers = {csv, pay};
    AccessKey(history, Qt::Key_C, [&] { return saveDialog.asked.size() == 1; });
    AccessKey(history, Qt::Key_P, [&] { return saveDialog.asked.size() == 2; });
    ASSERT_EQ(saveDialog.asked.size(), 2);
    EXPECT_EQ(saveDialog.asked[0].title, QStringLiteral("Export CSV"));
    EXPECT_EQ(saveDialog.asked[0].suggested, QStringLiteral("CheckHistory-2026-12-07.csv"));
    EXPECT_EQ(saveDialog.asked[1].title, QStringLiteral("Export Positive Pay"));
    EXPECT_EQ(readFile(QStringLiteral("out/history.csv")).count("\r\n"), 4); // header, 1003, 1004 (two lines)
    EXPECT_EQ(readFile(QStringLiteral("out/pay.csv")),
              QByteArray("1234567,1003,2026-11-15,0.50,M\xc3\xbcller & S\xc3\xb6hne,V\r\n"
                         "1234567,1004,2026-11-30,1000000.00,\"line one\r\nline two\",I\r\n"));
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[1].text.startsWith(QStringLiteral("2 checks written to")))
        << messages.shown[1].text.toStdString();
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
    history->cmdExportPositivePay->click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(QDir::toNativeSeparators(target)))
        << messages.shown[0].text.toStdString();
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Export Positive Pay"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("no such folder"))));
}

} // namespace
