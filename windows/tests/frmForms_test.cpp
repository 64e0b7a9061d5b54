// The Check Forms window driven through real mouse drags and keys, checked against the saved files.
#include "WindowFixture.h"

#include "forms/BuiltInForms.h"
#include "forms/FormFile.h"
#include "windows/frmForms.h"

#include <QLineEdit>
#include <QListWidget>

namespace {

const QString kCopy = QStringLiteral("Copy of Deluxe 3-On-A-Page");

class FormsWindowTest : public WindowFixture {
protected:
    std::unique_ptr<frmForms> open(const QString &name = kFormThreeOnAPage) {
        auto window = std::make_unique<frmForms>(platform, name);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }
    QString formsFolder() const { return FormsFolder(dir.path()); }
    std::optional<CheckForm> saved(const QString &name) const {
        for (const CheckForm &form : LoadForms(formsFolder()).Forms) {
            if (form.Name == name) {
                return form;
            }
        }
        return std::nullopt;
    }
    // Drags with the left button from one point of the sheet to another, in inches.
    static void drag(frmForms &window, QPointF from, QPointF to) {
        const QPoint start = window.PixelOf(from).toPoint();
        const QPoint end = window.PixelOf(to).toPoint();
        QTest::mousePress(window.picForm, Qt::LeftButton, {}, start);
        QTest::mouseMove(window.picForm, (start + end) / 2);
        QTest::mouseMove(window.picForm, end);
        QTest::mouseRelease(window.picForm, Qt::LeftButton, {}, end);
    }
    // An access key presses its button after the press has shown.
    static void press(frmForms &window, Qt::Key key) {
        int clicks = 0;
        QObject counter;
        for (QPushButton *button : window.findChildren<QPushButton *>()) {
            QObject::connect(button, &QPushButton::clicked, &counter, [&clicks] { ++clicks; });
        }
        QTest::keyClick(&window, key, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&clicks] { return clicks > 0; }, 2000));
    }
    static void type(QLineEdit *box, const QString &text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
};

TEST_F(FormsWindowTest, copyDragNudgeUndoTypeThenSaveOnClose_theFileHoldsTheNewPlace) {
    auto window = open();
    const FormItem payee = window->Form().Areas[0].Items[1];
    ASSERT_EQ(payee.Field, FormField::Payee);
    // A built-in form is only looked at: a drag selects, moves nothing.
    drag(*window, {payee.X + 0.05, payee.Y + 0.05}, {payee.X + 1.05, payee.Y + 0.55});
    EXPECT_EQ(window->SelectedItem(), 1);
    EXPECT_EQ(window->Form().Areas[0].Items[1], payee);
    EXPECT_FALSE(window->txtX->isEnabled());

    press(*window, Qt::Key_C);
    ASSERT_EQ(window->Form().Name, kCopy);
    EXPECT_FALSE(window->Form().BuiltIn);
    EXPECT_TRUE(saved(kCopy));
    EXPECT_TRUE(window->txtName->hasFocus());

    // Chosen by a click on the drawing, dragged half an inch right and a quarter down.
    QTest::mouseClick(window->picForm, Qt::LeftButton, {}, window->PixelOf({1.05, 1.3}).toPoint());
    ASSERT_EQ(window->SelectedItem(), 1);
    EXPECT_EQ(window->lstItems->currentItem()->text(), QStringLiteral("Check 1: payee"));
    drag(*window, {1.05, 1.3}, {1.55, 1.55});
    EXPECT_DOUBLE_EQ(window->Form().Areas[0].Items[1].X, 1.5);
    EXPECT_DOUBLE_EQ(window->Form().Areas[0].Items[1].Y, 1.5);
    EXPECT_EQ(window->txtX->text(), QStringLiteral("1.5"));

    // Arrow keys on the drawing: a tenth with Shift, a hundredth without; Ctrl+Z takes the last back.
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        double x, y;
    } keys[] = {
        {Qt::Key_Right, Qt::ShiftModifier, 1.6, 1.5},
        {Qt::Key_Right, {}, 1.61, 1.5},
        {Qt::Key_Down, {}, 1.61, 1.51},
        {Qt::Key_Z, Qt::ControlModifier, 1.61, 1.5},
        {Qt::Key_Up, Qt::ShiftModifier, 1.61, 1.4},
        {Qt::Key_Z, Qt::ControlModifier, 1.61, 1.5},
    };
    for (const auto &step : keys) {
        QTest::keyClick(window->picForm, step.key, step.modifiers);
        EXPECT_DOUBLE_EQ(window->Form().Areas[0].Items[1].X, step.x) << step.key;
        EXPECT_DOUBLE_EQ(window->Form().Areas[0].Items[1].Y, step.y) << step.key;
    }
    EXPECT_TRUE(window->cmdRedo->isEnabled());

    // Into the clear band of check 1: refused, by drag and by typing.
    drag(*window, {1.65, 1.55}, {1.65, 3.05});
    EXPECT_DOUBLE_EQ(window->Form().Areas[0].Items[1].Y, 1.5);
    EXPECT_TRUE(window->lblStatus->text().contains(QStringLiteral("MICR"))) << qPrintable(window->lblStatus->text());
    type(window->txtY, QStringLiteral("2.8"));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("Y: The payee at 2.80 in")))
        << qPrintable(messages.shown[0].text);
    EXPECT_EQ(window->txtY->text(), QStringLiteral("1.5"));
    type(window->txtFontSize, QStringLiteral("12"));
    EXPECT_EQ(window->Form().Areas[0].Items[1].FontSize, 12);

    // Escape asks; Cancel stays, Save saves and closes.
    messages.setNextAnswer(MsgResult::Cancel);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[1].buttons, MsgButtons::SaveDiscardCancel);
    EXPECT_TRUE(messages.shown[1].text.contains(kCopy));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(saved(kCopy)->Areas[0].Items[1], payee);
    messages.setNextAnswer(MsgResult::Save);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());

    FormItem expected = payee;
    expected.X = 1.61;
    expected.Y = 1.5;
    expected.FontSize = 12;
    EXPECT_EQ(saved(kCopy)->Areas[0].Items[1], expected);
    const QByteArray json = readFile(QStringLiteral("Forms/") + FormFileName(kCopy));
    EXPECT_TRUE(json.contains("\"x\": 1.61")) << json.constData();
    EXPECT_TRUE(json.contains("\"fontSize\": 12")) << json.constData();
}

TEST_F(FormsWindowTest, renameAndDeleteOwnForms_builtInsStayAndDiscardForgetsEdits) {
    auto window = open();
    press(*window, Qt::Key_N);
    ASSERT_EQ(window->Form().Name, QStringLiteral("New form"));
    // The name box has the focus: a new name and Return rename the file.
    QTest::keyClicks(window->txtName, QStringLiteral("Shop checks"));
    QTest::keyClick(window->txtName, Qt::Key_Return);
    EXPECT_EQ(window->Form().Name, QStringLiteral("Shop checks"));
    EXPECT_TRUE(saved(QStringLiteral("Shop checks")));
    EXPECT_FALSE(saved(QStringLiteral("New form")));
    type(window->txtName, kFormWalletSize);
    EXPECT_TRUE(messages.shown.last().text.contains(QStringLiteral("already exists")));

    // An edit, then another form chosen: Discard drops the edit.
    window->SelectItem(0, 4);
    window->picForm->setFocus();
    QTest::keyClick(window->picForm, Qt::Key_Left);
    EXPECT_TRUE(window->IsDirty());
    messages.setNextAnswer(MsgResult::Discard);
    window->lstForms->setCurrentRow(0);
    EXPECT_EQ(window->Form().Name, kFormThreeOnAPage);
    EXPECT_DOUBLE_EQ(saved(QStringLiteral("Shop checks"))->Areas[0].Items[4].X, 1.0);

    // Delete asks first; No keeps the file, Yes removes it. Built-ins cannot be deleted.
    EXPECT_FALSE(window->cmdDelete->isEnabled());
    window->lstForms->setCurrentRow(static_cast<int>(BuiltInForms().size()));
    ASSERT_EQ(window->Form().Name, QStringLiteral("Shop checks"));
    messages.setNextAnswers({MsgResult::No, MsgResult::Yes});
    press(*window, Qt::Key_L);
    EXPECT_TRUE(saved(QStringLiteral("Shop checks")));
    EXPECT_TRUE(messages.shown.last().text.contains(FormFileName(QStringLiteral("Shop checks"))));
    EXPECT_EQ(messages.shown.last().defaultButton, MsgResult::No);
    press(*window, Qt::Key_L);
    EXPECT_FALSE(saved(QStringLiteral("Shop checks")));
    EXPECT_EQ(window->lstForms->count(), BuiltInForms().size());
}

TEST_F(FormsWindowTest, aBadFormFileIsReportedOnceNamingFileAndField_andLeftOutOfTheList) {
    writeFile(QStringLiteral("Forms/Broken.json"), "{\"format\": 1, \"name\": \"Broken\"}");
    auto window = open();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(QDir::toNativeSeparators(path(QStringLiteral("Forms/Broken.json")))));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("page:")));
    EXPECT_EQ(window->lstForms->count(), BuiltInForms().size());
    press(*window, Qt::Key_C);
    EXPECT_EQ(messages.shown.size(), 1) << "reported once";
}

} // namespace
