#include "windows/frmImport.h"

#include "platform/testing/FakePlatform.h"
#include "platform/testing/TestHelpers.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct ImportWindow : TestPlatform {
    QString write(const char *name, const QByteArray &bytes) {
        const QString path = dir.filePath(S(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return path;
    }
    // Typed into the file box, then Return: the rows are shown (or the reason they cannot be).
    void load(frmImport &window, const QString &path) {
        window.show();
        window.txtFile->setText(path);
        QTest::keyClick(window.txtFile, Qt::Key_Return);
    }
};

TEST(frmImport, aFileThatCannotBeImportedIsNamedWithItsReasonAndShowsNoRows) {
    ImportWindow test;
    const QString good = test.write("good.csv", "Payee,Amount,Memo\nAcme,5,Rent\n");
    ASSERT_TRUE(QFile::link(good, test.dir.filePath(S("link.csv"))));
    const struct {
        QString path;
        const char *reason;
    } cases[] = {
        {test.write("nul.csv", QByteArray("Acme,5\0,Rent\n", 13)), "is not a text file"},
        {test.write("latin.csv", "Caf\xe9,5,Rent\n"), "is not in UTF-8"},
        {test.dir.filePath(S("link.csv")), "link.csv"},
        {test.dir.filePath(S("missing.csv")), "missing.csv could not be read"},
    };
    for (const auto &c : cases) {
        frmImport window(test.platform, {});
        test.load(window, c.path);
        ASSERT_FALSE(test.messages.shown.isEmpty()) << c.reason;
        EXPECT_TRUE(test.messages.shown.takeLast().text.contains(S(c.reason))) << c.reason;
        EXPECT_EQ(window.grdRows->model()->rowCount(), 0);
        QTest::keyClick(window.txtFile, Qt::Key_Escape);
        EXPECT_EQ(window.result(), QDialog::Rejected);
    }
}

TEST(frmImport, keysTickRowsAndTheColumnsChosenAreFoundAgainInTheNextFile) {
    ImportWindow test;
    test.saveDialog.answers = {test.write("first.csv", "Memo,Vendor,Cost\nRent,Acme,5\nFuel,Harbor Gas,7\n")};
    frmImport first(test.platform, {});
    first.show();
    first.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&first));
    // A button's access key clicks a moment after the key.
    QTest::keyClick(&first, Qt::Key_B, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.grdRows->model()->rowCount() == 2; }, 3000));
    EXPECT_EQ(first.lblSummary->text(), S("2 rows: 2 ticked to import, 0 refused, 0 printed before."));
    QTest::keyClick(first.grdRows, Qt::Key_Space);
    EXPECT_EQ(first.lblSummary->text(), S("2 rows: 1 ticked to import, 0 refused, 0 printed before."));
    QTest::keyClick(first.grdRows, Qt::Key_Return);
    ASSERT_EQ(first.result(), QDialog::Accepted);
    EXPECT_FALSE(first.Rows()[0].keep);
    EXPECT_EQ(first.Rows()[1].record.PayTo, S("Harbor Gas"));

    frmImport next(test.platform, {});
    test.load(next, test.write("next.csv", "Cost,Memo,Vendor\n\"$1,234.00\",Rent,Acme\n"));
    EXPECT_EQ(next.Columns(), (ImportColumns{2, 0, 1, true, {S("Vendor"), S("Cost"), S("Memo")}}));
    EXPECT_EQ(next.cboPayee->currentText(), S("C: Vendor"));
    EXPECT_EQ(next.KeptCount(), 1);
    next.cboMemo->setCurrentIndex(0); // (none): no row has the memo the entry window requires
    EXPECT_EQ(next.lblSummary->text(), S("1 rows: 0 ticked to import, 1 refused, 0 printed before."));
}

} // namespace
