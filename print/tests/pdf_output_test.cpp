#include "platform/Fonts.h"
#include "platform/QtPrinter.h"
#include "platform/testing/PdfText.h"
#include "platform/testing/WhenUp.h"
#include "print/MoneyPrint.h"
#include "print/tests/PrintTestSupport.h"
#include "words/MoneyConverter.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <cmath>

#include <sys/stat.h>

namespace {

constexpr double kTolerancePt = 0.5;

// Where an item must stand: its first word's left edge (or last word's right edge) and its top.
struct Expected {
    QString word;
    bool rightAligned;
    double x, top; // points from the top left of the sheet
    QString what;
};

// The word nearest to where it is expected; every item must be found within the tolerance.
void expectOnPage(const PdfPage &page, const Expected &item, int sheet) {
    double best = 1e9;
    const PdfWord *found = nullptr;
    for (const PdfWord &word : page.words) {
        if (word.text != item.word) {
            continue;
        }
        const double dx = (item.rightAligned ? word.xMax : word.xMin) - item.x;
        const double distance = std::max(std::abs(dx), std::abs(word.yMin - item.top));
        if (distance < best) {
            best = distance;
            found = &word;
        }
    }
    ASSERT_NE(found, nullptr) << "sheet " << sheet << ": no \"" << qPrintable(item.word) << "\" for "
                              << qPrintable(item.what);
    EXPECT_LE(best, kTolerancePt) << "sheet " << sheet << ", " << qPrintable(item.what) << " \""
                                  << qPrintable(item.word) << "\" at x "
                                  << (item.rightAligned ? found->xMax : found->xMin) << " top " << found->yMin
                                  << ", expected x " << item.x << " top " << item.top;
}

QString firstWord(const QString &text) {
    return text.section(u' ', 0, 0, QString::SectionSkipEmpty);
}

struct PdfCheck {
    QString payee, amount, figures, memo;
};

const PdfCheck kChecks[] = {
    {QStringLiteral("Alpha Hardware"), QStringLiteral("1234.56"), QStringLiteral("$1,234.56"),
     QStringLiteral("Paint and brushes")},
    {QStringLiteral("Bravo Gas Company"), QStringLiteral("20.05"), QStringLiteral("$20.05"),
     QStringLiteral("March bill")},
    {QStringLiteral("Charlie Books"), QStringLiteral("7"), QStringLiteral("$7.00"), QStringLiteral("Reading")},
    {QStringLiteral("Delta Water"), QStringLiteral("300.1"), QStringLiteral("$300.10"), QStringLiteral("Quarter")},
};

// Top of date, payee, words and memo in inches, by slot; the check's column.
struct StyleLayout {
    QString style;
    double lines[4][4];
    double column;
    bool stub;
};

const StyleLayout kThreeOnAPage{
    QStringLiteral("Deluxe 3-On-A-Page"),
    {{0, 0, 0, 0}, {0.75, 1.25, 1.75, 2.5}, {4.25, 4.75, 5.25, 6.0}, {7.75, 8.25, 8.75, 9.5}},
    1.0,
    false};
const StyleLayout kWalletSize{QStringLiteral("Deluxe Wallet-Size"),
                              {{0, 0, 0, 0}, {0.4, 0.75, 1.0, 1.9}, {3.25, 3.65, 3.9, 4.75}, {6.15, 6.5, 6.75, 7.6}},
                              2.8,
                              true};

// A print run through the real printer into a PDF file.
struct PdfRun : PrintFixture {
    QString pdf = dir.filePath(QStringLiteral("checks.pdf"));
    QPointF margin;        // top left of the printable area, points
    double lineHeight = 0; // twips

    PdfRun() {
        printerDialog.makePrinter = [this] {
            std::unique_ptr<Printer> printer = MakePdfPrinter(pdf);
            auto &qt = dynamic_cast<QtPrinter &>(*printer);
            margin = qt.device().pageLayout().paintRect(QPageLayout::Point).topLeft();
            return printer;
        };
    }
    PrintResult Print(const QString &style, int checksOnFirstSheet, const QByteArray &records) {
        WriteRegister(records);
        const PrintResult result = Run(style, checksOnFirstSheet);
        QtPrinter probe(std::make_unique<QPrinter>(QPrinter::HighResolution));
        SetupPrinterLike(probe);
        lineHeight = probe.LineHeight();
        return result;
    }
    static void SetupPrinterLike(Printer &printer) {
        printer.SetFontName(QStringLiteral("Ariel"));
        printer.SetFontBold(false);
        printer.SetFontSize(10);
    }
};

void expectChecksAtTheirPositions(const StyleLayout &layout) {
    PdfRun run;
    QByteArray records;
    for (const PdfCheck &check : kChecks) {
        records += RecordBytes(check.payee, check.amount, check.memo);
    }
    const PrintResult result = run.Print(layout.style, 3, records);
    ASSERT_EQ(result.outcome, PrintOutcome::Printed);
    ASSERT_EQ(result.printed, 4);
    const QList<PdfPage> pages = ReadPdfWords(run.pdf);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_NEAR(pages[0].width, 612, 0.01); // US Letter
    EXPECT_NEAR(pages[0].height, 792, 0.01);

    const double left = run.margin.x();
    const double top = run.margin.y();
    const auto at = [&](double inches) { return inches * 72; };
    const QString date = QStringLiteral("12/07/2026");
    for (int i = 0; i < 4; ++i) {
        const PdfCheck &check = kChecks[i];
        const int sheet = i < 3 ? 0 : 1;
        const int slot = i < 3 ? i + 1 : 1;
        const double *lines = layout.lines[slot];
        const QString words = firstWord(AmountToWords(*Currency::fromText(check.amount)));
        QList<Expected> items{
            {date, true, left + at(8.0), top + at(lines[0]), QStringLiteral("date")},
            {firstWord(check.payee), false, left + at(layout.column), top + at(lines[1]), QStringLiteral("payee")},
            {check.figures, true, left + at(7.25), top + at(lines[1]), QStringLiteral("figures")},
            {words, false, left + at(layout.column), top + at(lines[2]), QStringLiteral("words")},
            {firstWord(check.memo), false, left + at(layout.column), top + at(lines[3]), QStringLiteral("memo")},
        };
        if (layout.stub) {
            items += QList<Expected>{
                {date, true, left + at(1.0), top + at(lines[0]), QStringLiteral("stub date")},
                {firstWord(check.payee), false, left + at(0.5), top + at(lines[1]), QStringLiteral("stub payee")},
                {firstWord(check.memo), false, left + at(0.5), top + at(lines[3]), QStringLiteral("stub memo")},
                {QStringLiteral("123-456789"), false, left + at(0.5), top + at(lines[3]) + 2 * run.lineHeight / 20,
                 QStringLiteral("account number")},
            };
        }
        for (const Expected &item : std::as_const(items)) {
            expectOnPage(pages[sheet], item, sheet + 1);
        }
    }
}

TEST(PdfOutput, threeOnAPage_fourChecksStandAtTheLayoutPositions) {
    expectChecksAtTheirPositions(kThreeOnAPage);
}

TEST(PdfOutput, walletSize_fourChecksAndStubsStandAtTheLayoutPositions) {
    expectChecksAtTheirPositions(kWalletSize);
}

TEST(PdfOutput, arielIsDrawnWithTheArialCompatibleFace) {
    PdfRun run;
    ASSERT_EQ(
        run.Print(kThreeOnAPage.style, 3, RecordBytes(QStringLiteral("A"), QStringLiteral("1"), QString())).outcome,
        PrintOutcome::Printed);
    const QString fonts = ToolOutput(QStringLiteral("pdffonts"), {run.pdf});
    EXPECT_TRUE(fonts.contains(ArialCompatibleFace().remove(u' '))) << qPrintable(fonts);
}

// Darkest pixel of a band of the rendered first sheet (0 black, 255 white); inches from the sheet's top left.
int darkestIn(const QImage &image, double dpi, double x0, double x1, double y0, double y1) {
    int darkest = 255;
    for (int y = qCeil(y0 * dpi); y < qFloor(y1 * dpi); ++y) {
        for (int x = qCeil(x0 * dpi); x < qFloor(x1 * dpi); ++x) {
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
        }
    }
    return darkest;
}

TEST(PdfOutput, walletStub_textsStopShortOfTheChecksColumn) {
    PdfRun run;
    const QString wide(40, u'W');
    ASSERT_EQ(run.Print(kWalletSize.style, 3, RecordBytes(wide, QStringLiteral("5"), wide)).outcome,
              PrintOutcome::Printed);
    const QString prefix = run.dir.filePath(QStringLiteral("sheet"));
    ToolOutput(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("144"),
                                            QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                            QStringLiteral("1"), QStringLiteral("-singlefile"), run.pdf, prefix});
    QImage image;
    ASSERT_TRUE(image.load(prefix + QStringLiteral(".png")));
    const double dpi = 144;
    const double left = run.margin.x() / 72;
    const double top = run.margin.y() / 72;
    const double line = run.lineHeight / 1440;
    // Payee and memo lines of slot 1: ink up to 2.7 in, none between 2.7 and the check's column at 2.8.
    for (const double lineTop : {0.75, 1.9}) {
        const double y0 = top + lineTop;
        const double y1 = y0 + line;
        EXPECT_LT(darkestIn(image, dpi, left + 2.55, left + 2.69, y0, y1), 128) << lineTop;
        EXPECT_EQ(darkestIn(image, dpi, left + 2.71, left + 2.79, y0, y1), 255) << lineTop;
    }
}

TEST(QtPrinterTest, measuresWithTheFacesLineSpacingAtTheDevicesResolution) {
    QtPrinter printer(std::make_unique<QPrinter>(QPrinter::HighResolution));
    PdfRun::SetupPrinterLike(printer);
    EXPECT_EQ(printer.device().resolution(), 1440);
    QFont font(ArialCompatibleFace());
    font.setPointSizeF(10);
    const QFontMetricsF reference(font, &printer.device());
    EXPECT_NEAR(printer.LineHeight(), reference.lineSpacing(), 0.01);
    EXPECT_NEAR(printer.TextWidth(QStringLiteral("Pay to the order of")),
                reference.horizontalAdvance(QStringLiteral("Pay to the order of")), 0.01);
    // 10 pt Arial metrics: about 11.5 pt a line, about 0.56 em for a lower-case "n".
    EXPECT_NEAR(printer.LineHeight(), 230, 2);
    EXPECT_NEAR(printer.TextWidth(QStringLiteral("n")), 111, 2);
    printer.SetFontSize(20);
    EXPECT_NEAR(printer.LineHeight(), 460, 4);
}

TEST(QtPrinterTest, printMovesTheCurrentPosition) {
    QtPrinter printer(std::make_unique<QPrinter>(QPrinter::HighResolution));
    printer.SetCurrentX(100);
    printer.SetCurrentY(200);
    ASSERT_TRUE(printer.Print(QStringLiteral("abc"), false));
    EXPECT_NEAR(printer.CurrentX(), 100 + printer.TextWidth(QStringLiteral("abc")), 0.01);
    EXPECT_EQ(printer.CurrentY(), 200);
    ASSERT_TRUE(printer.Print(QStringLiteral("abc"), true));
    EXPECT_EQ(printer.CurrentX(), 0);
    EXPECT_NEAR(printer.CurrentY(), 200 + printer.LineHeight(), 0.01);
    ASSERT_TRUE(printer.NewPage());
    EXPECT_EQ(printer.CurrentY(), 0);
    printer.Abort();
}

TEST(QtPrinterTest, abandonedJob_writesNothing) {
    QTemporaryDir dir;
    const QString aborted = dir.filePath(QStringLiteral("aborted.pdf"));
    const QString dropped = dir.filePath(QStringLiteral("dropped.pdf"));
    {
        std::unique_ptr<Printer> printer = MakePdfPrinter(aborted);
        ASSERT_TRUE(printer->Print(QStringLiteral("Sheet one"), true));
        ASSERT_TRUE(printer->NewPage());
        ASSERT_TRUE(printer->Print(QStringLiteral("Sheet two"), true));
        printer->Abort();
        // A job after an abandoned one starts afresh.
        ASSERT_TRUE(printer->EndDoc());
    }
    {
        std::unique_ptr<Printer> printer = MakePdfPrinter(dropped);
        ASSERT_TRUE(printer->Print(QStringLiteral("Never ended"), true));
    }
    EXPECT_FALSE(QFileInfo::exists(aborted));
    EXPECT_FALSE(QFileInfo::exists(dropped));
}

TEST(QtPrinterTest, endDoc_sendsEverySheet) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheets.pdf"));
    std::unique_ptr<Printer> printer = MakePdfPrinter(pdf);
    printer->SetOrientation(Printer::Orientation::Landscape);
    for (int sheet = 1; sheet <= 3; ++sheet) {
        if (sheet > 1) {
            ASSERT_TRUE(printer->NewPage());
        }
        printer->SetCurrentX(1440);
        printer->SetCurrentY(1440);
        ASSERT_TRUE(printer->Print(QStringLiteral("Sheet%1").arg(sheet), true));
    }
    ASSERT_TRUE(printer->EndDoc());
    const QList<PdfPage> pages = ReadPdfWords(pdf);
    ASSERT_EQ(pages.size(), 3);
    for (int sheet = 0; sheet < 3; ++sheet) {
        EXPECT_NEAR(pages[sheet].width, 792, 0.01);
        ASSERT_EQ(pages[sheet].words.size(), 1);
        EXPECT_EQ(pages[sheet].words[0].text, QStringLiteral("Sheet%1").arg(sheet + 1));
    }
}

TEST(QtPrinterTest, unwritableFile_failsAtEndDocNamingIt) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("missing/folder/checks.pdf"));
    std::unique_ptr<Printer> printer = MakePdfPrinter(pdf);
    ASSERT_TRUE(printer->Print(QStringLiteral("x"), true));
    EXPECT_FALSE(printer->EndDoc());
    EXPECT_TRUE(printer->ErrorText().contains(QDir::toNativeSeparators(pdf))) << qPrintable(printer->ErrorText());
    printer->Abort();
}

// Three sheets, "Sheet1" to "Sheet3", one word each.
void drawThreeSheets(Printer &printer) {
    for (int sheet = 1; sheet <= 3; ++sheet) {
        if (sheet > 1) {
            ASSERT_TRUE(printer.NewPage());
        }
        printer.SetCurrentX(1440);
        printer.SetCurrentY(1440);
        ASSERT_TRUE(printer.Print(QStringLiteral("Sheet%1").arg(sheet), true));
    }
}

QStringList sheetWords(const QString &pdf) {
    QStringList words;
    for (const PdfPage &page : ReadPdfWords(pdf)) {
        QStringList onPage;
        for (const PdfWord &word : page.words) {
            onPage << word.text;
        }
        words << onPage.join(u' ');
    }
    return words;
}

TEST(QtPrinterTest, aFailedEndDocLeavesNothing_andTheNextSendsEachSheetOnce) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("later"));
    const QString pdf = folder + QStringLiteral("/checks.pdf");
    std::unique_ptr<Printer> printer = MakePdfPrinter(pdf);
    QList<QPair<int, int>> sent;
    printer->SetSendProgress([&sent](int done, int sheets) { sent.append({done, sheets}); });
    drawThreeSheets(*printer);
    ASSERT_FALSE(printer->EndDoc());
    EXPECT_EQ(printer->SheetsDelivered(), 0);
    EXPECT_FALSE(QFileInfo::exists(folder));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("later")));
    sent.clear();
    ASSERT_TRUE(printer->EndDoc()) << qPrintable(printer->ErrorText());
    EXPECT_EQ(sheetWords(pdf),
              QStringList({QStringLiteral("Sheet1"), QStringLiteral("Sheet2"), QStringLiteral("Sheet3")}));
    EXPECT_EQ(sent, (QList<QPair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("checks.pdf")})
        << "no temporary file is left behind";
}

TEST(QtPrinterTest, aNewPdfIsReadableByItsOwnerAlone_aReplacedOneKeepsItsMode) {
    const mode_t oldMask = ::umask(022);
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("fresh.pdf"));
    const QString shared = dir.filePath(QStringLiteral("shared.pdf"));
    {
        QFile old(shared);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    const QFileDevice::Permissions sharedMode =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(shared, sharedMode));
    for (const QString &pdf : {fresh, shared}) {
        std::unique_ptr<Printer> printer = MakePdfPrinter(pdf);
        drawThreeSheets(*printer);
        ASSERT_TRUE(printer->EndDoc()) << qPrintable(printer->ErrorText());
    }
    ::umask(oldMask);
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    EXPECT_EQ(QFileInfo(fresh).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), ownerOnly);
    EXPECT_EQ(QFileInfo(shared).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), sharedMode);
    EXPECT_EQ(sheetWords(shared).size(), 3);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("fresh.pdf"), QStringLiteral("shared.pdf")}));
}

TEST(QtPrinterTest, anAbandonedJobLeavesAnOldPdfAndNoTemporaryFile) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("kept.pdf"));
    {
        QFile old(pdf);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    std::unique_ptr<Printer> printer = MakePdfPrinter(pdf);
    drawThreeSheets(*printer);
    printer->Abort();
    printer.reset();
    QFile kept(pdf);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kept.pdf")});
}

TEST(QtPrinterTest, aPrinterThatCannotStartTheJob_hasSentNoSheet) {
    // A device with no printer behind it and no file: the job cannot begin.
    auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    device->setOutputFileName(QString());
    if (!device->printerName().isEmpty()) {
        GTEST_SKIP() << "a real printer is installed";
    }
    QtPrinter printer(std::move(device));
    drawThreeSheets(printer);
    EXPECT_FALSE(printer.EndDoc());
    EXPECT_EQ(printer.SheetsDelivered(), 0);
    EXPECT_TRUE(printer.ErrorText().contains(QStringLiteral("could not start the print job")))
        << qPrintable(printer.ErrorText());
    printer.Abort();
}

TEST(QtPrinterTest, endDocWithoutAJob_sendsNothing) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("empty.pdf"));
    std::unique_ptr<Printer> printer = MakePdfPrinter(pdf);
    EXPECT_TRUE(printer->EndDoc());
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

// Runs `inside` on the printer dialog once it is up.
void whileDialogIsUp(const std::function<void(QPrintDialog &)> &inside) {
    WhenUp<QPrintDialog>([inside](QPrintDialog &dialog) { inside(dialog); });
}

TEST(QtPrinterDialogTest, cancel_givesNoPrinter) {
    QtPrinterDialog dialog;
    whileDialogIsUp([](QPrintDialog &shown) { shown.reject(); });
    EXPECT_EQ(dialog.ShowPrinter(), nullptr);
}

TEST(QtPrinterDialogTest, printToPdfFile_withOneCopyOnly) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("chosen.pdf"));
    int copiesMaximum = -1;
    whileDialogIsUp([&](QPrintDialog &shown) {
        if (auto *copies = shown.findChild<QSpinBox *>(QStringLiteral("copies"))) {
            copiesMaximum = copies->maximum();
        }
        if (auto *file = shown.findChild<QLineEdit *>(QStringLiteral("filename"))) {
            file->setText(pdf);
        }
        shown.accept();
    });
    QtPrinterDialog dialog;
    std::unique_ptr<Printer> printer = dialog.ShowPrinter();
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(copiesMaximum, 1);
    auto &qt = dynamic_cast<QtPrinter &>(*printer);
    EXPECT_EQ(qt.device().copyCount(), 1);
    EXPECT_EQ(qt.device().resolution(), 1440);
    ASSERT_TRUE(printer->Print(QStringLiteral("Chosen"), true));
    ASSERT_TRUE(printer->EndDoc());
    EXPECT_TRUE(QFileInfo::exists(pdf));
}

// The page size of a job printed through the real dialog to a PDF file; `inDialog` runs while
// the dialog is up, after the file name is set.
QSizeF pageThroughTheDialog(const QString &pdf, const std::function<void(QPrintDialog &)> &inDialog) {
    whileDialogIsUp([&](QPrintDialog &shown) {
        if (auto *file = shown.findChild<QLineEdit *>(QStringLiteral("filename"))) {
            file->setText(pdf);
        }
        inDialog(shown);
        shown.accept();
    });
    QtPrinterDialog dialog;
    std::unique_ptr<Printer> printer = dialog.ShowPrinter();
    if (!printer) {
        ADD_FAILURE() << "no printer";
        return {};
    }
    SetupPrinter(*printer, QStringLiteral("Portrait"));
    EXPECT_TRUE(printer->Print(QStringLiteral("Letter"), true));
    EXPECT_TRUE(printer->EndDoc()) << qPrintable(printer->ErrorText());
    const QList<PdfPage> pages = ReadPdfWords(pdf);
    return pages.isEmpty() ? QSizeF() : QSizeF(pages[0].width, pages[0].height);
}

TEST(QtPrinterDialogTest, startsOnUSLetterPortraitWhateverTheLocale) {
    for (const QLocale &locale :
         {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany)}) {
        SCOPED_TRACE(locale.name().toStdString());
        QLocale::setDefault(locale);
        QTemporaryDir dir;
        const QSizeF page = pageThroughTheDialog(dir.filePath(QStringLiteral("letter.pdf")), [](QPrintDialog &) {});
        EXPECT_NEAR(page.width(), 612, 0.01);
        EXPECT_NEAR(page.height(), 792, 0.01);
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST(QtPrinterDialogTest, aPaperSizePickedInTheDialogHolds) {
    QTemporaryDir dir;
    bool picked = false;
    const QSizeF page = pageThroughTheDialog(dir.filePath(QStringLiteral("a4.pdf")), [&picked](QPrintDialog &shown) {
        // The paper is picked in the printer's properties, a dialog of its own.
        WhenUp<QDialog>(
            [&picked](QDialog &properties) {
                auto *size = properties.findChild<QComboBox *>(QStringLiteral("pageSizeCombo"));
                if (size == nullptr) {
                    ADD_FAILURE() << "no paper size in the printer properties";
                    return;
                }
                for (int i = 0; i < size->count(); ++i) {
                    if (size->itemText(i) == QStringLiteral("A4")) {
                        size->setCurrentIndex(i);
                        picked = true;
                    }
                }
                properties.accept();
            },
            &shown);
        if (auto *button = shown.findChild<QPushButton *>(QStringLiteral("properties"))) {
            button->click();
        }
    });
    ASSERT_TRUE(picked);
    EXPECT_NEAR(page.width(), 595, 0.5);
    EXPECT_NEAR(page.height(), 842, 0.5);
}

} // namespace
