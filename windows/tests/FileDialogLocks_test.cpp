// The program's file dialogs opened on the journal's own folder leave SQLite's locks in place: a
// dialog that opened and closed one of the journal's files would drop every POSIX lock this process
// holds on it.
#include "journal/CheckJournal.h"
#include "platform/QtPrinter.h"
#include "platform/SaveFileDialog.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/WhenUp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The POSIX locks /proc/locks shows for this process on the journal and its -wal and -shm files.
int HeldLocks(const QString &database) {
    std::set<qulonglong> inodes;
    for (const char *suffix : {"", "-wal", "-shm"}) {
        struct stat info {};
        if (::stat(QFile::encodeName(database + QLatin1String(suffix)).constData(), &info) == 0) {
            inodes.insert(info.st_ino);
        }
    }
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "/proc/locks cannot be read";
        return -1;
    }
    // "1: POSIX  ADVISORY  READ 1234 08:01:5678 128 128": the pid, then major:minor:inode.
    const QByteArray pid = QByteArray::number(::getpid());
    int held = 0;
    for (const QByteArray &line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 6 && fields[1] == "POSIX" && fields[4] == pid &&
            inodes.count(fields[5].split(':').value(2).toULongLong()) == 1) {
            ++held;
        }
    }
    return held;
}

// Waits until a file list of the dialog shows the folder's files, so that it has looked at each.
void WaitForListing(QWidget &dialog, const QString &folder, int files) {
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            for (QFileSystemModel *model : dialog.findChildren<QFileSystemModel *>()) {
                const QModelIndex index = model->index(folder);
                if (index.isValid() && model->canFetchMore(index)) {
                    model->fetchMore(index);
                }
                if (index.isValid() && model->rowCount(index) >= files &&
                    !model->type(model->index(0, 0, index)).isEmpty()) {
                    return true;
                }
            }
            return false;
        },
        5000))
        << QFileInfo(folder).fileName().toStdString();
    QTest::qWait(200); // the lists ask for icons and kinds as they paint
}

class FileDialogLocks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(journal.Open().ok);
        // A write leaves the journal in WAL with its write-ahead log beside it.
        ASSERT_TRUE(journal
                        .RecordExport({QDateTime(QDate(2026, 12, 8), QTime(9, 0)),
                                       QStringLiteral("1"),
                                       QStringLiteral("test"),
                                       QStringLiteral("x.csv"),
                                       {},
                                       {}})
                        .ok);
        database = journal.Path();
        journalFolder = QFileInfo(database).absolutePath();
        ASSERT_TRUE(QFileInfo::exists(database + QStringLiteral("-wal")));
        ASSERT_GE(files(), 2);
        before = HeldLocks(database);
        ASSERT_GT(before, 0);
    }

    // The journal's files: the database and its write-ahead log (no shared memory in exclusive mode).
    int files() const { return static_cast<int>(QDir(journalFolder).entryList(QDir::Files).size()); }

    TempFolder folder;
    CheckJournal journal{folder.path()};
    QString database;
    QString journalFolder;
    int before = 0;
};

TEST_F(FileDialogLocks, theExportDialogOnTheJournalsFolderLeavesTheLocksHeld) {
    // An older export beside the journal: the list shows it once it has looked at every file.
    QFile older(journalFolder + QStringLiteral("/old.csv"));
    ASSERT_TRUE(older.open(QIODevice::WriteOnly) && older.write("1,2\r\n") == 5);
    older.close();
    WhenUp<QFileDialog>([this](QFileDialog &dialog) {
        WaitForListing(dialog, journalFolder, 1);
        auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->clear();
        QTest::keyClicks(name, QStringLiteral("Check"));
        QTest::qWait(300);
        QTest::keyClick(name, Qt::Key_Escape);
        if (dialog.isVisible()) {
            QTest::keyClick(name, Qt::Key_Escape);
        }
    });
    QtSaveFileDialog dialog;
    EXPECT_TRUE(dialog
                    .GetSaveFileName(QStringLiteral("Export CSV"), journalFolder + QStringLiteral("/checks.csv"),
                                     QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"))
                    .isEmpty());
    EXPECT_EQ(HeldLocks(database), before);
}

TEST_F(FileDialogLocks, thePrintDialogsOutputFileBoxAndItsBrowseButtonLeaveTheLocksHeld) {
    bool browsed = false;
    WhenUp<QPrintDialog>([this, &browsed](QPrintDialog &dialog) {
        auto *printers = dialog.findChild<QComboBox *>(QStringLiteral("printers"));
        auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("filename"));
        auto *browse = dialog.findChild<QAbstractButton *>(QStringLiteral("fileBrowser"));
        ASSERT_NE(printers, nullptr);
        ASSERT_NE(name, nullptr);
        ASSERT_NE(browse, nullptr);
        // "Print to File (PDF)", then the journal's folder typed into the output-file box.
        printers->setCurrentIndex(printers->count() - 1);
        ASSERT_TRUE(name->isEnabled());
        name->clear();
        name->setFocus();
        QTest::keyClicks(name, journalFolder + QStringLiteral("/C"));
        WaitForListing(dialog, journalFolder, files());
        // "..." opens a file dialog on that folder.
        WhenUp<QFileDialog>(
            [this, &browsed](QFileDialog &browser) {
                browsed = true;
                EXPECT_EQ(QFileInfo(browser.directory().absolutePath()), QFileInfo(journalFolder));
                WaitForListing(browser, journalFolder, files());
                browser.reject();
            },
            &dialog);
        browse->click();
        dialog.reject();
    });
    QtPrinterDialog printerDialog;
    EXPECT_EQ(printerDialog.ShowPrinter(), nullptr);
    EXPECT_TRUE(browsed);
    EXPECT_EQ(HeldLocks(database), before);
}

} // namespace
