#include "forms/BuiltInForms.h"
#include "forms/FormFile.h"
#include "windows/Controls.h"
#include "windows/HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

QString readResource(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(HelpWindowTest, commandFifteenOpensTheContents) {
    HelpWindow help;
    help.ShowHelp(QStringLiteral("C:\\Tarnwick Software\\Help Files\\Checkbook\\CHECKBOOK.HLP"), 15);
    ASSERT_NE(help.window(), nullptr);
    EXPECT_TRUE(help.window()->isVisible());
    EXPECT_EQ(help.browser()->source(), QUrl(HelpWindow::ContentsPage));
    EXPECT_TRUE(help.browser()->toPlainText().contains(QStringLiteral("Contents")));
    EXPECT_EQ(help.browser()->documentTitle(), QStringLiteral("Quillane Help"));
}

TEST(HelpWindowTest, showingAgainReturnsToTheContentsInTheSameWindow) {
    HelpWindow help;
    help.ShowHelp(QString(), 15);
    QWidget *first = help.window();
    help.browser()->setSource(QUrl(QStringLiteral("qrc:/help/files.html")));
    help.ShowHelp(QString(), 15);
    EXPECT_EQ(help.window(), first);
    EXPECT_EQ(help.browser()->source(), QUrl(HelpWindow::ContentsPage));
    help.ShowHelp(QString(), HelpWindow::CommandQuit);
    EXPECT_FALSE(help.window()->isVisible());
}

TEST(HelpWindowTest, everyPageHasATitleAndEveryLinkReachesAPage) {
    InitWindowResources();
    const QStringList pages = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")});
    ASSERT_GE(pages.size(), 6);
    const QRegularExpression href(QStringLiteral("href=\"([^\"#]+)"));
    const QString contents = readResource(QStringLiteral(":/help/index.html"));
    for (const QString &page : pages) {
        SCOPED_TRACE(page.toStdString());
        const QString html = readResource(QStringLiteral(":/help/") + page);
        ASSERT_FALSE(html.isEmpty());
        EXPECT_TRUE(html.contains(QRegularExpression(QStringLiteral("<title>[^<]+</title>"))));
        // Every topic can be reached from the contents.
        if (page != QStringLiteral("index.html")) {
            EXPECT_TRUE(contents.contains(QStringLiteral("href=\"") + page + QLatin1Char('"')));
        }
        for (auto match = href.globalMatch(html); match.hasNext();) {
            const QString target = match.next().captured(1);
            EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + target)) << target.toStdString();
        }
    }
}

TEST(HelpWindowTest, theGuideCoversWhatThePersonNeeds) {
    InitWindowResources();
    QString all;
    for (const QString &page : QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")})) {
        all += readResource(QStringLiteral(":/help/") + page);
    }
    for (const char *topic : {"Checkbook Type", "Check Information", "Accept", "Pay to the Order of", "Redo",
                              "leading edge", "Print Checks", "DraftMere.txt", "TempRegister.txt", "Backup"}) {
        EXPECT_TRUE(all.contains(QString::fromLatin1(topic))) << topic;
    }
}

// The pages that speak of the forms list those of the Forms folder as each is shown: the built-ins and
// the person's own, each with its checks per sheet; a form added later is there the next time.
TEST(HelpWindowTest, thePagesListTheFormsThereAreWhenShown) {
    QTemporaryDir dir;
    HelpWindow help(FormsFolder(dir.path()));
    CheckForm own = *BuiltInForm(kFormVoucherMiddle);
    own.Name = QStringLiteral("Shop <Voucher>");
    own.BuiltIn = false;
    for (const bool saved : {false, true}) {
        if (saved) {
            ASSERT_TRUE(SaveForm(FormsFolder(dir.path()), own).ok);
        }
        help.ShowHelp(QString(), 15);
        for (const char *page : {"setup.html", "forms.html"}) {
            help.browser()->setSource(QUrl(QStringLiteral("qrc:/help/") + QLatin1String(page)));
            const QString text = help.browser()->toPlainText();
            SCOPED_TRACE(page);
            EXPECT_TRUE(text.contains(QStringLiteral("Deluxe 3-On-A-Page: 3 checks to a sheet, built-in")));
            EXPECT_TRUE(text.contains(QStringLiteral("Voucher, Check on Top: 1 check to a sheet, built-in")));
            EXPECT_EQ(text.contains(QStringLiteral("Shop <Voucher>: 1 check to a sheet, your own")), saved);
        }
    }
}

} // namespace
