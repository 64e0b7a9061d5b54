#include "alignment/TestSheet.h"
#include "platform/QtPrinter.h"
#include "platform/testing/PdfText.h"
#include "platform/testing/RecordingPrinter.h"
#include "platform/testing/TestHelpers.h"
#include "print/CheckLayout.h"

#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString kThree = QStringLiteral("Deluxe 3-On-A-Page");
const QString kWallet = QStringLiteral("Deluxe Wallet-Size");

// Anchors as the layout tables place them, in inches: name, x, top, right-aligned; by style and slot.
struct ExpectedAnchor {
    const char *name;
    double x;
    double top;
    bool right;
};

QList<ExpectedAnchor> expectedAnchors(const QString &style, int slot, double lineHeightInches) {
    const double three[4][4] = {
        {0, 0, 0, 0}, {0.75, 1.25, 1.75, 2.5}, {4.25, 4.75, 5.25, 6.0}, {7.75, 8.25, 8.75, 9.5}};
    const double wallet[4][4] = {{0, 0, 0, 0}, {0.4, 0.75, 1.0, 1.9}, {3.25, 3.65, 3.9, 4.75}, {6.15, 6.5, 6.75, 7.6}};
    const bool isThree = style == kThree;
    const double *y = isThree ? three[slot] : wallet[slot];
    const double column = isThree ? 1.0 : 2.8;
    QList<ExpectedAnchor> anchors{{"date", 8.0, y[0], true},
                                  {"payee", column, y[1], false},
                                  {"amount", 7.25, y[1], true},
                                  {"words", column, y[2], false},
                                  {"memo", column, y[3], false}};
    if (!isThree) {
        anchors += QList<ExpectedAnchor>{{"stub-date", 1.0, y[0], true},
                                         {"stub-payee", 0.5, y[1], false},
                                         {"stub-memo", 0.5, y[3], false},
                                         {"account", 0.5, y[3] + 2 * lineHeightInches, false}};
    }
    return anchors;
}

struct SheetCase {
    const char *style;
    AlignmentOffset offset;
};

class TestSheetOnRecordingPrinter : public ::testing::TestWithParam<SheetCase> {};

TEST_P(TestSheetOnRecordingPrinter, marksEveryAnchorWithCrossAndNameMovedByTheOffset) {
    PrinterLog log;
    RecordingPrinter printer(log);
    printer.printerName = QStringLiteral("Laser 1");
    const QString style = S(GetParam().style);
    const AlignmentOffset offset = GetParam().offset;
    ASSERT_TRUE(PrintTestSheet(printer, {style, QStringLiteral("Laser 1"), offset, QStringLiteral("12/07/2026")}));
    const double dx = offset.Horizontal * 14.4;
    const double dy = offset.Vertical * 14.4;

    const QList<PrinterCall> texts = log.Texts();
    QList<PrinterCall> lines;
    for (const PrinterCall &call : log.calls) {
        if (call.kind == PrinterCall::Kind::Line) {
            lines.append(call);
        }
    }
    for (int slot = 1; slot <= 3; ++slot) {
        for (const ExpectedAnchor &anchor : expectedAnchors(style, slot, printer.LineHeight() / 1440)) {
            const double x = anchor.x * 1440 + dx;
            const double y = anchor.top * 1440 + dy;
            const auto label = std::find_if(texts.cbegin(), texts.cend(), [&](const PrinterCall &call) {
                const double end = anchor.right ? call.x + printer.TextWidth(call.text) : call.x;
                return call.text == S(anchor.name) && std::abs(end - x) < 1e-6 && std::abs(call.y - y) < 1e-6;
            });
            EXPECT_NE(label, texts.cend()) << anchor.name << " of slot " << slot;
            // The cross: a level and an upright line through the anchor.
            const auto crossing = std::count_if(lines.cbegin(), lines.cend(), [&](const PrinterCall &line) {
                return std::abs((line.x + line.x2) / 2 - x) < 1e-6 && std::abs((line.y + line.y2) / 2 - y) < 1e-6;
            });
            EXPECT_EQ(crossing, 2) << anchor.name << " of slot " << slot;
        }
    }
    EXPECT_EQ(log.Count(PrinterCall::Kind::EndDoc), 1);
    EXPECT_EQ(log.Count(PrinterCall::Kind::NewPage), 0);
    EXPECT_TRUE(std::all_of(lines.cbegin(), lines.cend(), [](const PrinterCall &line) { return !line.faint; }));
    // The whole ruler: a tick every tenth of an inch along the top (8.5 in) and the left (11 in).
    const auto ticks = std::count_if(lines.cbegin(), lines.cend(), [&](const PrinterCall &line) {
        return (line.y == dy && line.x == line.x2) || (line.x == dx && line.y == line.y2);
    });
    EXPECT_GE(ticks, 85 + 110);
    const auto caption = std::find_if(texts.cbegin(), texts.cend(), [](const PrinterCall &call) {
        return call.text.startsWith(QStringLiteral("Alignment test sheet"));
    });
    ASSERT_NE(caption, texts.cend());
    for (const QString &part : {QStringLiteral("Laser 1"), style, OffsetText(offset.Horizontal),
                                OffsetText(offset.Vertical), QStringLiteral("12/07/2026")}) {
        EXPECT_TRUE(caption->text.contains(part)) << qPrintable(caption->text) << " lacks " << qPrintable(part);
    }
    // The sheet is printed in the check font.
    EXPECT_TRUE(std::all_of(texts.cbegin(), texts.cend(), [](const PrinterCall &call) {
        return call.face == QStringLiteral("Ariel") && call.size == 10 && !call.bold;
    }));
}

INSTANTIATE_TEST_SUITE_P(Styles, TestSheetOnRecordingPrinter,
                         ::testing::Values(SheetCase{"Deluxe 3-On-A-Page", {0, 0}},
                                           SheetCase{"Deluxe 3-On-A-Page", {10, -5}},
                                           SheetCase{"Deluxe Wallet-Size", {0, 0}},
                                           SheetCase{"Deluxe Wallet-Size", {-100, 100}}));

TEST(TestSheet, failingPrinterAbandonsTheJob) {
    PrinterLog log;
    RecordingPrinter printer(log);
    printer.failAtCall = 5;
    EXPECT_FALSE(PrintTestSheet(printer, {kThree, QStringLiteral("Laser"), {}, QStringLiteral("1/2/2026")}));
    EXPECT_EQ(log.Count(PrinterCall::Kind::Abort), 1);
    EXPECT_EQ(log.Count(PrinterCall::Kind::EndDoc), 0);
}

TEST(AlignmentSample, drawsTheTopCheckMovedByTheOffsetOverTheFormThatStays) {
    for (const QString &style : {kThree, kWallet}) {
        PrinterLog plain;
        RecordingPrinter unmoved(plain);
        ASSERT_TRUE(DrawAlignmentSample(unmoved, style, {}, false, QStringLiteral("12/07/2026"), QLocale()));
        PrinterLog shifted;
        RecordingPrinter moved(shifted);
        ASSERT_TRUE(DrawAlignmentSample(moved, style, {25, -10}, false, QStringLiteral("12/07/2026"), QLocale()));

        const QList<PrinterCall> before = plain.Texts();
        const QList<PrinterCall> after = shifted.Texts();
        ASSERT_EQ(before.size(), after.size());
        ASSERT_FALSE(before.isEmpty());
        for (qsizetype i = 0; i < before.size(); ++i) {
            EXPECT_EQ(after[i].text, before[i].text);
            if (!before[i].text.isEmpty()) {
                EXPECT_DOUBLE_EQ(after[i].x, before[i].x + 360);
                EXPECT_DOUBLE_EQ(after[i].y, before[i].y - 144);
            }
        }
        // The form's outline is faint and does not move.
        const auto outline = [](const PrinterLog &log) {
            QList<QLineF> lines;
            for (const PrinterCall &call : log.calls) {
                if (call.kind == PrinterCall::Kind::Line) {
                    EXPECT_TRUE(call.faint);
                    lines.append(QLineF(call.x, call.y, call.x2, call.y2));
                }
            }
            return lines;
        };
        EXPECT_FALSE(outline(plain).isEmpty());
        EXPECT_EQ(outline(plain), outline(shifted));
    }
}

// The test sheet through the real printer into a PDF, read back with pdftotext.
class TestSheetPdf : public ::testing::TestWithParam<SheetCase> {};

TEST_P(TestSheetPdf, everyNamedAnchorStandsAtItsTablePositionPlusTheOffset) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    std::unique_ptr<Printer> printer = MakePdfPrinter(pdf);
    auto &qt = dynamic_cast<QtPrinter &>(*printer);
    const QPointF margin = qt.device().pageLayout().paintRect(QPageLayout::Point).topLeft();
    const QString style = S(GetParam().style);
    const AlignmentOffset offset = GetParam().offset;
    ASSERT_EQ(printer->PrinterName(), kPdfPrinterName);
    ASSERT_TRUE(PrintTestSheet(*printer, {style, printer->PrinterName(), offset, QStringLiteral("12/07/2026")}));
    const double lineHeight = printer->LineHeight() / 1440;

    const QList<PdfPage> pages = ReadPdfWords(pdf);
    ASSERT_EQ(pages.size(), 1);
    const QList<PdfWord> &words = pages[0].words;
    for (int slot = 1; slot <= 3; ++slot) {
        for (const ExpectedAnchor &anchor : expectedAnchors(style, slot, lineHeight)) {
            const double x = margin.x() + (anchor.x + offset.Horizontal / 100.0) * 72;
            const double top = margin.y() + (anchor.top + offset.Vertical / 100.0) * 72;
            const PdfWord *found = nullptr;
            for (const PdfWord &word : words) {
                if (word.text == S(anchor.name) && std::abs((anchor.right ? word.xMax : word.xMin) - x) < 1 &&
                    std::abs(word.yMin - top) < 5) {
                    found = &word;
                }
            }
            ASSERT_NE(found, nullptr) << anchor.name << " of slot " << slot << " near " << x << ", " << top;
            EXPECT_NEAR(anchor.right ? found->xMax : found->xMin, x, 0.05) << anchor.name << " of slot " << slot;
            EXPECT_NEAR(found->yMin, top, 0.05) << anchor.name << " of slot " << slot;
        }
    }
    const bool captioned = std::any_of(words.cbegin(), words.cend(),
                                       [](const PdfWord &word) { return word.text == QStringLiteral("12/07/2026"); });
    EXPECT_TRUE(captioned);
}

INSTANTIATE_TEST_SUITE_P(Styles, TestSheetPdf,
                         ::testing::Values(SheetCase{"Deluxe 3-On-A-Page", {0, 0}},
                                           SheetCase{"Deluxe 3-On-A-Page", {10, -5}},
                                           SheetCase{"Deluxe Wallet-Size", {-20, 15}}));

} // namespace
