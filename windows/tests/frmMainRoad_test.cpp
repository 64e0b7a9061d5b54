// The main road through the real windows: first run, checkbook setup, four checks typed and accepted,
// printed to a PDF by the real printer; then the saved setup, the empty register and the printed sheets.
#include "frmMainFixture.h"

#include "platform/QtPrinter.h"

#include <QComboBox>
#include <QListWidget>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>

namespace {

struct Word {
    int page; // 1-based
    double xMin, yMin, xMax;
    QString text;
};

// The words of a PDF with their boxes in points from the top left of the page (pdftotext -bbox).
QList<Word> PdfWords(const QString &pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression token(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re"));
    QList<Word> words;
    int page = 0;
    for (const QRegularExpressionMatch &m : token.globalMatch(html)) {
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        words.append(
            {page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(), m.captured(4)});
    }
    return words;
}

const Word *Find(const QList<Word> &words, const QString &text) {
    for (const Word &w : words) {
        if (w.text == text) {
            return &w;
        }
    }
    return nullptr;
}

} // namespace

class MainRoadTest : public EntryWindowTest {};

TEST_F(MainRoadTest, fromTheFirstRunToFourPrintedChecks) {
    // Start: the splash window, the other two loaded.
    forms.Show(program->Splash());
    forms.Load(main);
    forms.Load(startup);
    program->Splash()->cmdContinue->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(startup->isVisible());
    ASSERT_TRUE(startup->fraCreate->isVisibleTo(startup)) << "no settings file: the checkbook type panel";

    // Create the checkbook: 1001, 2 blank checks on the first form, three to a page.
    startup->optCreate[1]->setChecked(true);
    startup->cmdBookInfo->click();
    for (auto [box, text] : {std::pair{startup->txtBankName, QStringLiteral("First Example Bank")},
                             std::pair{startup->txtAcctNo, QStringLiteral("0012-345678")},
                             std::pair{startup->txtCheckNo, QStringLiteral("1001")}}) {
        box->clear();
        QTest::keyClicks(box, text);
    }
    startup->cboChecks->setEditText(QStringLiteral("2"));
    ASSERT_EQ(startup->Settings().CheckStyle, kStyle3OnAPage);
    startup->cmdAccept->click();
    ASSERT_TRUE(messages.shown.isEmpty());

    // Print Checks on the menu.
    startup->optMainMenuSub[0]->setChecked(true);
    startup->cmdGoto[0]->click();
    QCoreApplication::processEvents();
    ASSERT_TRUE(main->isVisible());
    ASSERT_FALSE(startup->isVisible());
    ASSERT_EQ(main->lblCheck->text(), QStringLiteral("1001"));

    const struct {
        const char *payee, *amount, *memo;
    } checks[] = {
        {"Ann Example", "1234.56", "Rent"},
        {"Bob Sample", "20", "Books"},
        {"Cid Tester", "0.99", "Stamps"},
        {"Dee Person", "999999999.99", "Everything"},
    };
    for (const auto &c : checks) {
        TypeCheck(QLatin1String(c.payee), QLatin1String(c.amount), QLatin1String(c.memo));
        QTest::mouseClick(main->cmdExpense[1], Qt::LeftButton);
        ASSERT_EQ(Panel(), QStringLiteral("fraCheckImage")) << c.payee;
        // Accept has the focus: Return presses it.
        QTest::keyClick(main->focusWidget(), Qt::Key_Return);
    }
    ASSERT_EQ(main->lblCheck->text(), QStringLiteral("1005"));
    ASSERT_EQ(Pending().size(), 4);

    QTest::mouseClick(main->cmdExpense[6], Qt::LeftButton);
    ASSERT_EQ(Panel(), QStringLiteral("fraPrintSummary"));
    EXPECT_EQ(main->lblPrintSummary->text(),
              QStringLiteral("Load your First Check Form with 2 blank checks beginning with Check No. 1001 into the "
                             "printer\nAdd an additional Check Form"));

    // The printer dialog picks a PDF file; everything else is the real printer.
    const QString pdf = dir.filePath(QStringLiteral("checks.pdf"));
    printerDialog.makePrinter = [pdf] { return MakePdfPrinter(pdf); };
    QTest::mouseClick(main->cmPrintSummary[0], Qt::LeftButton);

    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(SettingsFile(), QByteArrayLiteral("\"First Example Bank\"\r\n\"0012-345678\"\r\n\"1005\"\r\n\"1\"\r\n"
                                                "\"Deluxe 3-On-A-Page\"\r\n"));
    EXPECT_FALSE(RegisterExists());
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(startup->isVisible());
    EXPECT_EQ(startup->txtCheckNo->text(), QStringLiteral("1005"));

    // The sheets: two checks on the first (slots 1 and 2), two on the second (slots 1 and 2).
    auto printer = MakePdfPrinter(dir.filePath(QStringLiteral("layout.pdf")));
    const QPointF origin = static_cast<QtPrinter *>(printer.get())->device().pageLayout().paintRectPoints().topLeft();
    const QList<Word> words = PdfWords(pdf);
    ASSERT_FALSE(words.isEmpty());
    int pages = 0;
    for (const Word &w : words) {
        pages = std::max(pages, w.page);
    }
    EXPECT_EQ(pages, 2);
    const struct {
        const char *firstWord;
        int page;
        double payeeY; // inches from the top of the printable area
        const char *figures;
    } placed[] = {
        {"Ann", 1, 1.25, "$1,234.56"},
        {"Bob", 1, 4.75, "$20.00"},
        {"Cid", 2, 1.25, "$0.99"},
        {"Dee", 2, 4.75, "$999,999,999.99"},
    };
    constexpr double kSlack = 3.0; // points: the glyph box against the line's top
    for (const auto &p : placed) {
        SCOPED_TRACE(p.firstWord);
        const Word *payee = Find(words, QLatin1String(p.firstWord));
        ASSERT_NE(payee, nullptr);
        EXPECT_EQ(payee->page, p.page);
        EXPECT_NEAR(payee->xMin, origin.x() + 1.0 * 72, kSlack);
        EXPECT_NEAR(payee->yMin, origin.y() + p.payeeY * 72, kSlack);
        // The figures end at 7.25 in on the payee line.
        const Word *figures = Find(words, QLatin1String(p.figures));
        ASSERT_NE(figures, nullptr);
        EXPECT_EQ(figures->page, p.page);
        EXPECT_NEAR(figures->xMax, origin.x() + 7.25 * 72, kSlack);
        EXPECT_NEAR(figures->yMin, payee->yMin, kSlack);
    }
    int dates = 0;
    for (const Word &w : words) {
        dates += w.text == QStringLiteral("12/07/2026") ? 1 : 0;
    }
    EXPECT_EQ(dates, 4);
}
