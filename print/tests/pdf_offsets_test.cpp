#include "platform/QtPrinter.h"
#include "platform/testing/PdfText.h"
#include "print/tests/PrintTestSupport.h"

#include <QPrinter>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A print run into a PDF file, with the alignment of the PDF printer given.
QList<PdfPage> printedPdf(const QString &style, const PrintAdjustment &adjustment, bool *printedToPdf) {
    PrintFixture run;
    const QString pdf = run.dir.filePath(QStringLiteral("checks.pdf"));
    run.printerDialog.makePrinter = [&pdf] { return MakePdfPrinter(pdf); };
    QByteArray records;
    records += RecordBytes(QStringLiteral("Alpha Hardware"), QStringLiteral("1234.56"), QStringLiteral("Paint"));
    records += RecordBytes(QStringLiteral("Bravo Gas"), QStringLiteral("20.05"), QStringLiteral("March bill"));
    records += RecordBytes(QStringLiteral("Charlie Books"), QStringLiteral("7"), QStringLiteral("Reading"));
    records += RecordBytes(QStringLiteral("Delta Water"), QStringLiteral("300.1"), QStringLiteral("Quarter"));
    run.WriteRegister(records);
    PrintRequest request;
    request.CheckStyle = style;
    request.AcctNo = QStringLiteral("123-456789");
    request.ChecksOnFirstSheet = 3;
    *printedToPdf = false;
    request.Adjustment = [&](const QString &printer, const QString &) {
        *printedToPdf = printer == kPdfPrinterName;
        return adjustment;
    };
    EXPECT_EQ(PrintPendingChecks(run.platform, request).outcome, PrintOutcome::Printed);
    return ReadPdfWords(pdf);
}

class PdfOffsets : public ::testing::TestWithParam<const char *> {};

TEST_P(PdfOffsets, plusTenthRightMinusTwentiethUp_movesEveryWordByExactlyThat) {
    const QString style = QString::fromLatin1(GetParam());
    bool pdfNamed = false;
    const QList<PdfPage> plain = printedPdf(style, {}, &pdfNamed);
    EXPECT_TRUE(pdfNamed);
    // +0.10 in right and -0.05 in (up): 144 and -72 twips, 7.2 and -3.6 points.
    const QList<PdfPage> moved = printedPdf(style, {144, -72, false}, &pdfNamed);
    ASSERT_EQ(plain.size(), 2);
    ASSERT_EQ(moved.size(), plain.size());
    for (qsizetype page = 0; page < plain.size(); ++page) {
        ASSERT_EQ(moved[page].words.size(), plain[page].words.size());
        ASSERT_GT(plain[page].words.size(), 10);
        for (qsizetype i = 0; i < plain[page].words.size(); ++i) {
            const PdfWord &before = plain[page].words[i];
            const PdfWord &after = moved[page].words[i];
            EXPECT_EQ(after.text, before.text);
            EXPECT_NEAR(after.xMin - before.xMin, 7.2, 0.05) << qPrintable(before.text);
            EXPECT_NEAR(after.xMax - before.xMax, 7.2, 0.05) << qPrintable(before.text);
            EXPECT_NEAR(after.yMin - before.yMin, -3.6, 0.05) << qPrintable(before.text);
            EXPECT_NEAR(after.yMax - before.yMax, -3.6, 0.05) << qPrintable(before.text);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Styles, PdfOffsets, ::testing::Values("Deluxe 3-On-A-Page", "Deluxe Wallet-Size"));

} // namespace
