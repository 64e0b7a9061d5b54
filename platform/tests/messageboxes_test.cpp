// The real message boxes, answered with real key and mouse events through QMessageBox.
#include "platform/MessageBoxes.h"
#include "platform/testing/Settle.h"
#include "platform/testing/WhenUp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>

namespace {

enum class Act { Return, Escape, AccessKey, Click, Close };

struct BoxRow {
    const char *name;
    MsgButtons buttons;
    MsgResult defaultButton;
    Act act;
    MsgResult on;                    // the button an access key or a click is aimed at
    std::optional<MsgResult> answer; // empty: the box must still be open
};

void PrintTo(const BoxRow &row, std::ostream *os) {
    *os << row.name;
}

QMessageBox::StandardButton standardOf(MsgResult result) {
    switch (result) {
    case MsgResult::OK:
        return QMessageBox::Ok;
    case MsgResult::Cancel:
        return QMessageBox::Cancel;
    case MsgResult::Yes:
        return QMessageBox::Yes;
    case MsgResult::No:
        return QMessageBox::No;
    case MsgResult::Save:
        return QMessageBox::Save;
    case MsgResult::Discard:
        return QMessageBox::Discard;
    }
    return QMessageBox::NoButton;
}

Qt::Key accessKeyOf(MsgResult result) {
    switch (result) {
    case MsgResult::OK:
        return Qt::Key_O;
    case MsgResult::Cancel:
        return Qt::Key_C;
    case MsgResult::Yes:
        return Qt::Key_Y;
    case MsgResult::No:
        return Qt::Key_N;
    case MsgResult::Save:
        return Qt::Key_S;
    case MsgResult::Discard:
        return Qt::Key_D;
    }
    return Qt::Key_unknown;
}

// Runs `inside` on the box once it is up and active; gives up (closing it from code) after a while so
// that a box that never answers fails the test instead of hanging it.
MsgResult showBox(MsgButtons buttons, MsgResult defaultButton, const std::function<void(QMessageBox *)> &inside) {
    WhenUp<QMessageBox>([inside](QMessageBox &shown) {
        QMessageBox *box = &shown;
        QPointer<QMessageBox> guard(box);
        QTimer::singleShot(5000, box, [guard] {
            if (guard) {
                ADD_FAILURE() << "box still open after 5 s";
                guard->done(0);
            }
        });
        EXPECT_TRUE(QTest::qWaitForWindowActive(box));
        inside(box);
    });
    QtMessageBoxes boxes;
    return boxes.MsgBox(QStringLiteral("Text of the box"), buttons, QStringLiteral("Title of the box"), defaultButton);
}

class RealBoxTest : public ::testing::TestWithParam<BoxRow> {};

TEST_P(RealBoxTest, answersWithTheButtonPressedOrStaysOpen) {
    const BoxRow &row = GetParam();
    bool stillOpen = false;
    const MsgResult answer = showBox(row.buttons, row.defaultButton, [&](QMessageBox *box) {
        QAbstractButton *target = box->button(standardOf(row.on));
        ASSERT_NE(target, nullptr);
        switch (row.act) {
        case Act::Return:
            // Keys go where the person's keys go: to the focused control of the box.
            QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key_Return);
            break;
        case Act::Escape:
            QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key_Escape);
            break;
        case Act::AccessKey:
            QTest::keyClick(static_cast<QWidget *>(nullptr), accessKeyOf(row.on), Qt::AltModifier);
            break;
        case Act::Click:
            QTest::mouseClick(target, Qt::LeftButton);
            break;
        case Act::Close:
            // What the title bar's close control does: a close request from the window system.
            box->windowHandle()->close();
            break;
        }
        if (!row.answer) {
            Settle(); // whatever the key or the close request does has happened
            stillOpen = box->isVisible();
            // Finish with the button the faulty reading would not have given.
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        }
    });
    if (row.answer) {
        EXPECT_EQ(answer, *row.answer);
    } else {
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(answer, MsgResult::Yes);
    }
}

using R = MsgResult;
constexpr std::optional<MsgResult> kOpen;

INSTANTIATE_TEST_SUITE_P(
    EveryButtonSet, RealBoxTest,
    ::testing::Values(
        BoxRow{"Ok_Return", MsgButtons::OK, R::OK, Act::Return, R::OK, R::OK},
        BoxRow{"Ok_Escape", MsgButtons::OK, R::OK, Act::Escape, R::OK, R::OK},
        BoxRow{"Ok_AltO", MsgButtons::OK, R::OK, Act::AccessKey, R::OK, R::OK},
        BoxRow{"Ok_ClickOk", MsgButtons::OK, R::OK, Act::Click, R::OK, R::OK},
        BoxRow{"Ok_Close", MsgButtons::OK, R::OK, Act::Close, R::OK, R::OK},

        BoxRow{"OkCancel_Return", MsgButtons::OKCancel, R::OK, Act::Return, R::OK, R::OK},
        BoxRow{"OkCancel_ReturnOnDefaultCancel", MsgButtons::OKCancel, R::Cancel, Act::Return, R::Cancel, R::Cancel},
        BoxRow{"OkCancel_Escape", MsgButtons::OKCancel, R::OK, Act::Escape, R::OK, R::Cancel},
        BoxRow{"OkCancel_AltO", MsgButtons::OKCancel, R::OK, Act::AccessKey, R::OK, R::OK},
        BoxRow{"OkCancel_AltC", MsgButtons::OKCancel, R::OK, Act::AccessKey, R::Cancel, R::Cancel},
        BoxRow{"OkCancel_AltOOnDefaultCancel", MsgButtons::OKCancel, R::Cancel, Act::AccessKey, R::OK, R::OK},
        BoxRow{"OkCancel_ClickOk", MsgButtons::OKCancel, R::OK, Act::Click, R::OK, R::OK},
        BoxRow{"OkCancel_ClickCancel", MsgButtons::OKCancel, R::OK, Act::Click, R::Cancel, R::Cancel},
        BoxRow{"OkCancel_Close", MsgButtons::OKCancel, R::OK, Act::Close, R::OK, R::Cancel},

        BoxRow{"YesNo_Return", MsgButtons::YesNo, R::Yes, Act::Return, R::Yes, R::Yes},
        BoxRow{"YesNo_ReturnOnDefaultNo", MsgButtons::YesNo, R::No, Act::Return, R::No, R::No},
        BoxRow{"YesNo_EscapeDoesNothing", MsgButtons::YesNo, R::Yes, Act::Escape, R::Yes, kOpen},
        BoxRow{"YesNo_EscapeDoesNothingOnDefaultNo", MsgButtons::YesNo, R::No, Act::Escape, R::No, kOpen},
        BoxRow{"YesNo_AltY", MsgButtons::YesNo, R::Yes, Act::AccessKey, R::Yes, R::Yes},
        BoxRow{"YesNo_AltN", MsgButtons::YesNo, R::Yes, Act::AccessKey, R::No, R::No},
        BoxRow{"YesNo_ClickYes", MsgButtons::YesNo, R::No, Act::Click, R::Yes, R::Yes},
        BoxRow{"YesNo_ClickNo", MsgButtons::YesNo, R::Yes, Act::Click, R::No, R::No},
        BoxRow{"YesNo_CloseDoesNothing", MsgButtons::YesNo, R::Yes, Act::Close, R::Yes, kOpen},

        BoxRow{"SaveDiscardCancel_Return", MsgButtons::SaveDiscardCancel, R::Save, Act::Return, R::Save, R::Save},
        BoxRow{"SaveDiscardCancel_ReturnOnDefaultDiscard", MsgButtons::SaveDiscardCancel, R::Discard, Act::Return,
               R::Discard, R::Discard},
        BoxRow{"SaveDiscardCancel_Escape", MsgButtons::SaveDiscardCancel, R::Save, Act::Escape, R::Save, R::Cancel},
        BoxRow{"SaveDiscardCancel_AltS", MsgButtons::SaveDiscardCancel, R::Discard, Act::AccessKey, R::Save, R::Save},
        BoxRow{"SaveDiscardCancel_AltD", MsgButtons::SaveDiscardCancel, R::Save, Act::AccessKey, R::Discard,
               R::Discard},
        BoxRow{"SaveDiscardCancel_AltC", MsgButtons::SaveDiscardCancel, R::Save, Act::AccessKey, R::Cancel, R::Cancel},
        BoxRow{"SaveDiscardCancel_ClickDiscard", MsgButtons::SaveDiscardCancel, R::Save, Act::Click, R::Discard,
               R::Discard},
        BoxRow{"SaveDiscardCancel_Close", MsgButtons::SaveDiscardCancel, R::Save, Act::Close, R::Save, R::Cancel},
        BoxRow{"YesNoCancel_Return", MsgButtons::YesNoCancel, R::Yes, Act::Return, R::Yes, R::Yes},
        BoxRow{"YesNoCancel_Escape", MsgButtons::YesNoCancel, R::Yes, Act::Escape, R::Yes, R::Cancel},
        BoxRow{"YesNoCancel_AltN", MsgButtons::YesNoCancel, R::Yes, Act::AccessKey, R::No, R::No},
        BoxRow{"YesNoCancel_AltC", MsgButtons::YesNoCancel, R::Yes, Act::AccessKey, R::Cancel, R::Cancel},
        BoxRow{"YesNoCancel_Close", MsgButtons::YesNoCancel, R::Yes, Act::Close, R::Yes, R::Cancel}),
    [](const ::testing::TestParamInfo<BoxRow> &row) { return std::string(row.param.name); });

TEST(RealBox, showsTitleTextAndTheButtonsWithNoIcon) {
    const struct {
        MsgButtons buttons;
        QStringList captions;
    } sets[] = {
        {MsgButtons::OK, {QStringLiteral("&OK")}},
        {MsgButtons::OKCancel, {QStringLiteral("&OK"), QStringLiteral("&Cancel")}},
        {MsgButtons::YesNo, {QStringLiteral("&Yes"), QStringLiteral("&No")}},
        {MsgButtons::SaveDiscardCancel,
         {QStringLiteral("&Save"), QStringLiteral("&Discard"), QStringLiteral("&Cancel")}},
        {MsgButtons::YesNoCancel, {QStringLiteral("&Yes"), QStringLiteral("&No"), QStringLiteral("&Cancel")}},
    };
    for (const auto &set : sets) {
        SCOPED_TRACE(set.captions.join(QLatin1Char(' ')).toStdString());
        showBox(set.buttons, MsgResult::OK, [&](QMessageBox *box) {
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Title of the box"));
            EXPECT_EQ(box->text(), QStringLiteral("Text of the box"));
            EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
            QStringList captions;
            for (QAbstractButton *button : box->buttons()) {
                captions << button->text();
            }
            EXPECT_EQ(captions.size(), set.captions.size());
            for (const QString &caption : set.captions) {
                EXPECT_TRUE(captions.contains(caption)) << caption.toStdString();
            }
            // The first button is the default when the caller names none of this set.
            EXPECT_TRUE(box->buttons().contains(static_cast<QAbstractButton *>(box->defaultButton())));
            QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key_Return);
        });
    }
}

TEST(RealBox, tabThenReturnAnswersWithTheFocusedButton) {
    // Return presses the button that has the focus, not the one that was the default.
    const MsgResult answer = showBox(MsgButtons::YesNo, MsgResult::Yes, [](QMessageBox *box) {
        box->button(QMessageBox::No)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key_Return);
    });
    EXPECT_EQ(answer, MsgResult::No);
}

TEST(RealBox, spaceAnswersWithTheFocusedButton) {
    const MsgResult answer = showBox(MsgButtons::OKCancel, MsgResult::OK, [](QMessageBox *) {
        QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key_Space);
    });
    EXPECT_EQ(answer, MsgResult::OK);
}

} // namespace
