#include "WindowFixture.h"

#include "windows/Links.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QUrlQuery>

namespace {

class SplashTest : public WindowFixture {
protected:
    frmSplash *splash() { return program->Splash(); }
};

// Records the windows hidden, in order.
class HideRecorder final : public QObject {
public:
    QStringList hidden;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Hide && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow()) {
            hidden.append(watched->objectName());
        }
        return false;
    }
};

TEST_F(SplashTest, controlsHaveTheirNamesCaptionsTooltipsAndTwipsPlaces) {
    start();
    const ControlLayout layouts[] = {
        {"lblProductName", QStringLiteral("Quillane"), QStringLiteral("The Name of this program"), 1320, 1020, 2505,
         510},
        {"Label1(1)", QStringLiteral("A program of ORVANTIS Co"), QStringLiteral("Click to Visit"), 1260, 1620, 2805,
         195},
        {"lblRunning",
         QStringLiteral("Orvantis Programs share files. Exit all other Orvantis Programs before continuing...."),
         QString(), 3000, 2040, 2235, 615},
        {"lblCopyright", QStringLiteral("\u00A9 Copyright 2026"),
         QStringLiteral("Quillane is copyright ORVANTIS Co. All rights reserved."), 180, 2280, 1395, 240},
        {"lblVersion", QStringLiteral("Version 2.0.0"), QString(), 4440, 3420, 915, 210},
        {"cmdContinue", QStringLiteral("Continue"), QStringLiteral("Starts the Program"), 3480, 2940, 1395, 315},
        {"Image1(0)", QString(), QStringLiteral("Ends the Program"), 120, 480, 780, 735},
    };
    for (const ControlLayout &layout : layouts) {
        const auto *control = splash()->findChild<QWidget *>(QString::fromLatin1(layout.name));
        ASSERT_NE(control, nullptr) << layout.name;
        ExpectPlaced(control, layout);
        if (const auto *label = qobject_cast<const QLabel *>(control); label && !layout.caption.isEmpty()) {
            EXPECT_EQ(label->text(), layout.caption);
        }
        if (const auto *button = qobject_cast<const QAbstractButton *>(control)) {
            EXPECT_EQ(button->text(), layout.caption);
        }
    }
    EXPECT_EQ(splash()->windowTitle(), QStringLiteral("Quillane by ORVANTIS Co"));
    EXPECT_EQ(splash()->findChild<QWidget *>(QStringLiteral("client"))->size(),
              QSize(TwipsToPixels(5490), TwipsToPixels(3705)));
    EXPECT_TRUE(splash()->lblWarning->text().contains(QLatin1Char('\n')));
    EXPECT_EQ(splash()->lblProductName->font().pointSizeF(), 21.75);
    EXPECT_TRUE(splash()->lblProductName->font().bold());
    EXPECT_EQ(splash()->Label1->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(splash()->lblRunning->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    EXPECT_FALSE(splash()->Image1->pixmap().isNull());
}

TEST_F(SplashTest, readsCleanlyWithTheLegalNoticeOnTwoLines) {
    start();
    ExpectReadable(splash()->findChild<QWidget *>(QStringLiteral("client")));
    const QLabel *notice = splash()->lblWarning;
    EXPECT_LT(notice->heightForWidth(notice->width()), 3 * notice->fontMetrics().lineSpacing());
}

TEST_F(SplashTest, isCentredOnTheScreen) {
    start();
    const QRect screen = splash()->screen()->availableGeometry();
    // Centred as the window's frame was known when it was placed: within the frame's thickness.
    const QRect frame = splash()->frameGeometry();
    const QPoint offset = frame.center() - screen.center();
    EXPECT_LE(std::abs(offset.x()), frame.width() - splash()->width() + 1);
    EXPECT_LE(std::abs(offset.y()), frame.height() - splash()->height() + 1);
}

TEST_F(SplashTest, everyActivationRewritesVersionAndCopyrightYear) {
    EXPECT_EQ(splash()->lblVersion->text(), QStringLiteral("Version No"));
    start();
    EXPECT_EQ(splash()->lblVersion->text(), QStringLiteral("Version 2.0.0"));
    EXPECT_EQ(splash()->lblCopyright->text(), QStringLiteral("\u00A9 Copyright 2026"));

    app.Minor = 3;
    app.Revision = 11;
    clock.today = QDate(2031, 1, 2);
    forms.Hide(splash());
    forms.Show(splash());
    EXPECT_EQ(splash()->lblVersion->text(), QStringLiteral("Version 2.3.11"));
    EXPECT_EQ(splash()->lblCopyright->text(), QStringLiteral("\u00A9 Copyright 2031"));
}

TEST_F(SplashTest, eachLinkOpensItsPageThroughTheShortcutFile) {
    start();
    const QString store = QStringLiteral("https://store.example.net/softsell/nph-softsell.cgi?item=");
    const struct {
        const char *link;
        std::function<void(frmSplash *)> use;
        QString url;
    } cases[] = {
        {"Label1", [](frmSplash *s) { QTest::mouseClick(s->Label1, Qt::LeftButton); }, Links::HomePage},
        {"mnuVisit", [](frmSplash *s) { s->mnuVisit->trigger(); }, Links::HomePage},
        {"mnuZenfold", [](frmSplash *s) { s->mnuZenfold->trigger(); }, store + Links::ZenfoldItem},
        {"mnuBrightledge", [](frmSplash *s) { s->mnuBrightledge->trigger(); }, store + Links::BrightledgeItem},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.link);
        urls.opened.clear();
        c.use(splash());
        EXPECT_EQ(urls.opened, QStringList{c.url});
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("Temp.url"))));
    }
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(ender.ends, 0);
}

TEST_F(SplashTest, referralPageCarriesTheMakerAndPriorityCodeInOrder) {
    const QUrl url(Links::ReferralPage());
    EXPECT_EQ(url.path(), QStringLiteral("/referral.cfm"));
    const QList<QPair<QString, QString>> items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    QStringList keys;
    for (const auto &item : items) {
        keys.append(item.first);
    }
    EXPECT_EQ(keys, (QStringList{QStringLiteral("name"), QStringLiteral("url"), QStringLiteral("button"),
                                 QStringLiteral("logo"), QStringLiteral("keycode"), QStringLiteral("id")}));
    EXPECT_EQ(items[0].second, Links::MakerDomain);
    EXPECT_EQ(items[1].second, Links::HomePage);
    EXPECT_TRUE(items[2].second.isEmpty());
    EXPECT_TRUE(items[3].second.isEmpty());
    EXPECT_EQ(items[4].second, QStringLiteral("T52731"));
    EXPECT_EQ(items[5].second, Links::ReferralAccount);
    // The home page travels percent-encoded, so its own ":" and "/" do not split the query.
    EXPECT_TRUE(Links::ReferralPage().contains(QStringLiteral("&url=http%3A%2F%2Fwww.orvantis.example%2F&")));
}

TEST_F(SplashTest, orderFormsShowsEightLinesThenOkOpensOnePageAndCancelNone) {
    start();
    for (const MsgResult answer : {MsgResult::OK, MsgResult::Cancel}) {
        messages.shown.clear();
        urls.opened.clear();
        messages.setNextAnswer(answer);
        splash()->mnuForms->trigger();
        ASSERT_EQ(messages.shown.size(), 1);
        const ShownMessage &box = messages.shown.first();
        EXPECT_EQ(box.title, QStringLiteral("Ordering from Deluxe"));
        EXPECT_EQ(box.buttons, MsgButtons::OKCancel);
        EXPECT_EQ(box.defaultButton, MsgResult::OK);
        const QStringList lines = box.text.split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 8);
        EXPECT_EQ(lines[0], QStringLiteral("Your initial order for forms must be placed via telephone"));
        EXPECT_EQ(lines[1], QStringLiteral("Call Deluxe (Toll Free) at ") + Links::VendorTollFree);
        EXPECT_EQ(lines[2], QStringLiteral("Use Priority Code T52731 for Discount Prices"));
        EXPECT_EQ(lines[3], QStringLiteral("Select the Items that you wish to Order"));
        EXPECT_EQ(lines[4], QStringLiteral("Business Checks - 80003-1064"));
        EXPECT_EQ(lines[5], QStringLiteral("Personal Checks - 80935"));
        EXPECT_EQ(lines[6], QStringLiteral("Deposit Tickets - 80200"));
        EXPECT_EQ(lines[7], QStringLiteral("Click Okay to Continue to connect to Deluxe"));
        EXPECT_EQ(urls.opened, answer == MsgResult::OK ? QStringList{Links::ReferralPage()} : QStringList{});
    }
}

TEST_F(SplashTest, upgradeOnlyHoldsItsTwoItems) {
    start();
    const QList<QAction *> bar = splash()->menuBar->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar[0]->text(), QStringLiteral("UpGrade"));
    EXPECT_EQ(bar[1]->text(), QStringLiteral("Visit Us"));
    EXPECT_EQ(bar[2]->text(), QStringLiteral("Order Forms"));
    const QList<QAction *> items = splash()->mnuUpgrade->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("to Zenfold"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("to Brightledge"));
    bar[0]->trigger();
    EXPECT_TRUE(urls.opened.isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(SplashTest, aLinkThatCannotBeWrittenGivesTheAddressInAMessage) {
    start();
    files.bytesBeforeFull = 0;
    splash()->mnuVisit->trigger();
    EXPECT_TRUE(urls.opened.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown.first().text.contains(Links::HomePage));
}

TEST_F(SplashTest, continueUnloadsTheSplashAndShowsOnlyTheMainMenu) {
    start();
    QPointer<frmSplash> first = splash();
    QTest::mouseClick(first->cmdContinue, Qt::LeftButton);
    EXPECT_FALSE(forms.IsLoaded(first));
    ASSERT_EQ(forms.Count(), 2);
    EXPECT_EQ(forms.at(0), program->Main());
    EXPECT_EQ(forms.at(1), program->Startup());
    EXPECT_TRUE(program->Startup()->isVisible());
    EXPECT_FALSE(program->Main()->isVisible());
    EXPECT_EQ(forms.Active(), program->Startup());
    EXPECT_EQ(ender.ends, 0);
    flushDeletes();
    EXPECT_TRUE(first.isNull());
}

TEST_F(SplashTest, closingTheSplashEndsTheProgramUnloadingLastLoadedFirst) {
    start();
    // Every window visible, so that each unload shows as a hide.
    forms.Show(program->Main());
    forms.Show(program->Startup());
    HideRecorder recorder;
    qApp->installEventFilter(&recorder);
    QPointer<frmSplash> first = splash();
    first->close();
    qApp->removeEventFilter(&recorder);
    EXPECT_EQ(recorder.hidden,
              (QStringList{QStringLiteral("frmStartup"), QStringLiteral("frmMain"), QStringLiteral("frmSplash")}));
    EXPECT_EQ(ender.ends, 1);
    EXPECT_EQ(forms.Count(), 0);
    flushDeletes();
    EXPECT_TRUE(first.isNull());
}

TEST_F(SplashTest, clickingThePictureEndsTheProgramWithoutAQuestion) {
    start();
    QTest::mouseClick(splash()->Image1, Qt::LeftButton);
    EXPECT_EQ(ender.ends, 1);
    EXPECT_EQ(forms.Count(), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(SplashTest, unloadedFromCodeTheSplashLeavesTheProgramRunning) {
    start();
    EXPECT_TRUE(forms.Unload(splash(), vbFormCode));
    EXPECT_EQ(ender.ends, 0);
    EXPECT_EQ(forms.Count(), 2);
}

} // namespace
