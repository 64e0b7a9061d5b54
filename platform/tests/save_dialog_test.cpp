#include "platform/SaveFileDialog.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/WhenUp.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

QLineEdit *NameBox(QFileDialog &dialog) {
    auto *box = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(box, nullptr);
    return box;
}

const QString kFilter = QStringLiteral("CSV files (*.csv)");

TEST(QtSaveFileDialog, aTypedNameGetsTheSuffixAndReturnAnswers) {
    TempFolder folder;
    QString title;
    WhenUp<QFileDialog>([&](QFileDialog &dialog) {
        title = dialog.windowTitle();
        QLineEdit *box = NameBox(dialog);
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("march checks"));
        QTest::keyClick(box, Qt::Key_Return);
    });
    QtSaveFileDialog dialog;
    const QString chosen = dialog.GetSaveFileName(QStringLiteral("Export CSV"), folder.file(QStringLiteral("x.csv")),
                                                  kFilter, QStringLiteral("csv"));
    EXPECT_EQ(title, QStringLiteral("Export CSV"));
    EXPECT_EQ(chosen, folder.file(QStringLiteral("march checks.csv")));
}

TEST(QtSaveFileDialog, theSuggestedNameIsTakenAsItIs) {
    TempFolder folder;
    WhenUp<QFileDialog>([](QFileDialog &dialog) { QTest::keyClick(NameBox(dialog), Qt::Key_Return); });
    QtSaveFileDialog dialog;
    EXPECT_EQ(dialog.GetSaveFileName(QStringLiteral("Export"), folder.file(QStringLiteral("history.csv")), kFilter,
                                     QStringLiteral("csv")),
              folder.file(QStringLiteral("history.csv")));
}

TEST(QtSaveFileDialog, openTakesAnExistingFileTypedAndEscapeCancels) {
    TempFolder folder;
    ASSERT_TRUE(folder.write(QStringLiteral("bills.csv"), "Payee,Amount,Memo\n"));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QString title;
        WhenUp<QFileDialog>([&](QFileDialog &dialog) {
            title = dialog.windowTitle();
            QTest::keyClicks(NameBox(dialog), QStringLiteral("bills.csv"));
            QTest::keyClick(NameBox(dialog), key);
        });
        QtSaveFileDialog dialog;
        const QString chosen = dialog.GetOpenFileName(QStringLiteral("Import Checks"), folder.path(), kFilter);
        EXPECT_EQ(title, QStringLiteral("Import Checks"));
        EXPECT_EQ(chosen, key == Qt::Key_Return ? folder.file(QStringLiteral("bills.csv")) : QString());
    }
}

TEST(QtSaveFileDialog, escapeCancels) {
    TempFolder folder;
    WhenUp<QFileDialog>([](QFileDialog &dialog) { QTest::keyClick(NameBox(dialog), Qt::Key_Escape); });
    QtSaveFileDialog dialog;
    EXPECT_TRUE(dialog
                    .GetSaveFileName(QStringLiteral("Export"), folder.file(QStringLiteral("history.csv")), kFilter,
                                     QStringLiteral("csv"))
                    .isEmpty());
}

TEST(QtSaveFileDialog, replacingAFileIsConfirmedFirst) {
    TempFolder folder;
    ASSERT_TRUE(folder.write(QStringLiteral("history.csv"), "old"));
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace);
        QString question;
        WhenUp<QFileDialog>([&](QFileDialog &dialog) {
            WhenUp<QMessageBox>(
                [&, replace](QMessageBox &box) {
                    question = box.text();
                    // "No" is the default: Return declines, the access key of "&Yes" replaces.
                    if (replace) {
                        QTest::keyClick(&box, Qt::Key_Y, Qt::AltModifier);
                    } else {
                        QTest::keyClick(&box, Qt::Key_Return);
                    }
                },
                &dialog);
            QTest::keyClick(NameBox(dialog), Qt::Key_Return);
            if (!replace) {
                // Declining leaves the file dialog up; the person then cancels it.
                EXPECT_TRUE(dialog.isVisible());
                QTest::keyClick(NameBox(dialog), Qt::Key_Escape);
            }
        });
        QtSaveFileDialog dialog;
        const QString chosen = dialog.GetSaveFileName(
            QStringLiteral("Export"), folder.file(QStringLiteral("history.csv")), kFilter, QStringLiteral("csv"));
        EXPECT_TRUE(question.contains(QStringLiteral("history.csv"))) << question.toStdString();
        EXPECT_EQ(chosen, replace ? folder.file(QStringLiteral("history.csv")) : QString());
        EXPECT_EQ(folder.read(QStringLiteral("history.csv")), QByteArray("old"));
    }
}

TEST(QtSaveFileDialog, openTakesAnExistingFileOnlyAndEscapeCancels) {
    TempFolder folder;
    ASSERT_TRUE(folder.write(QStringLiteral("payees.csv"), "Name\r\n"));
    const struct {
        QString typed;
        QString chosen;
    } cases[] = {
        // Names typed in the folder the dialog opens on: a whole path typed would have the name box's
        // completer read every folder on the way, whose timing the keys would race.
        {QStringLiteral("payees.csv"), folder.file(QStringLiteral("payees.csv"))},
        // A name that does not exist is told of and leaves the dialog up; Escape then cancels.
        {QStringLiteral("missing.csv"), QString()},
    };
    for (const auto &c : cases) {
        QString title;
        QString told;
        WhenUp<QFileDialog>([&](QFileDialog &dialog) {
            title = dialog.windowTitle();
            if (c.chosen.isEmpty()) {
                WhenUp<QMessageBox>(
                    [&](QMessageBox &box) {
                        told = box.text();
                        QTest::keyClick(&box, Qt::Key_Return);
                    },
                    &dialog);
            }
            QLineEdit *box = NameBox(dialog);
            QTest::keyClicks(box, c.typed);
            QTest::keyClick(box, Qt::Key_Return);
            if (dialog.isVisible()) {
                QTest::keyClick(box, Qt::Key_Escape);
            }
        });
        QtSaveFileDialog dialog;
        EXPECT_EQ(dialog.GetOpenFileName(QStringLiteral("Import Payees"), folder.path(), kFilter), c.chosen);
        EXPECT_EQ(title, QStringLiteral("Import Payees"));
        EXPECT_EQ(told.contains(QStringLiteral("missing.csv")), c.chosen.isEmpty()) << told.toStdString();
    }
}

} // namespace
