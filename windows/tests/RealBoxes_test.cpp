// Window flows answered through the real message boxes, with real keys and clicks.
#include "WindowFixture.h"

#include "platform/testing/Settle.h"
#include "platform/testing/WhenUp.h"
#include "register/Register.h"

#include <QMessageBox>

#include <functional>

namespace {

class RealBoxesTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        program = std::make_unique<Program>(real);
    }

    // Answers the next box with `answer` once it is up and active.
    static void whenTheBoxShows(std::function<void(QMessageBox *)> answer) {
        WhenUp<QMessageBox>([answer](QMessageBox &box) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
            answer(&box);
        });
    }

    QtMessageBoxes boxes;
    Platform real = platform.With(boxes);
};

TEST_F(RealBoxesTest, orderFormsOpensTheVendorPageOnOkAndNothingOnCancel) {
    const struct {
        const char *name;
        std::function<void(QMessageBox *)> answer;
        int pagesOpened;
    } cases[] = {
        {"Return", [](QMessageBox *) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }, 1},
        {"click OK", [](QMessageBox *box) { QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton); }, 1},
        {"Escape", [](QMessageBox *) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }, 0},
        {"click Cancel", [](QMessageBox *box) { QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton); },
         0},
    };
    start();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        urls.opened.clear();
        whenTheBoxShows(c.answer);
        program->Splash()->mnuForms->trigger();
        EXPECT_EQ(urls.opened.size(), c.pagesOpened);
    }
}

TEST_F(RealBoxesTest, escapeOnChecksNotPrintedKeepsEveryPendingCheck) {
    writeFile(QStringLiteral("DraftMere.txt"),
              settingsBytes({QStringLiteral("First Example Bank"), QStringLiteral("0012-345678"),
                             QStringLiteral("1001"), QStringLiteral("3"), QStringLiteral("Deluxe 3-On-A-Page")}));
    writeFile(QStringLiteral("TempRegister.txt"),
              EncodeRecord({QStringLiteral("1001"), QStringLiteral("12/07/2026"), QStringLiteral("Payee"),
                            QStringLiteral("10.00"), QStringLiteral("Memo"), kStatusPrinted}));
    frmStartup *startup = startAndContinue();
    startup->cmdGoto_Click(0);
    frmMain *main = program->Main();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));

    bool stayedOpen = false;
    whenTheBoxShows([&stayedOpen](QMessageBox *box) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        box->windowHandle()->close();
        Settle();
        stayedOpen = box->isVisible();
        // The person then answers No with its access key: that, and only that, deletes the checks.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier);
    });
    QTest::mouseClick(main->cmdExpense[0], Qt::LeftButton);
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("TempRegister.txt"))));
    EXPECT_TRUE(program->Splash()->isVisible());
}

} // namespace
