#include "alignment/TestSheet.h"
#include "forms/BuiltInForms.h"
#include "platform/QtPrinter.h"
#include "platform/testing/PdfText.h"
#include "platform/testing/RecordingPrinter.h"
#include "platform/testing/TestHelpers.h"
#include "platform/testing/WhenUp.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString kThree = QStringLiteral("Deluxe 3-On-A-Page");
const QString kWallet = QStringLiteral("Deluxe Wallet-Size");

CheckForm formOf(const QString &style) {
    return *BuiltInForm(style);
}

// Anchors in inches: name, x, top, right-aligned; by style and slot.
struct ExpectedAnchor {
    QString name;
    double x;
    double top;
    bool right;
};

// The Deluxe styles as their layout tables place them; any other form as its items say.
QList<ExpectedAnchor> expectedAnchors(const QString &style, int slot) {
    if (style != kThree && style != kWallet) {
        QList<ExpectedAnchor> anchors;
        for (const FormItem &item : formOf(style).Areas.at(slot - 1).Items) {
            anchors.append({(item.Stub ? QStringLiteral("stub-") : QString()) + FieldKey(item.Field), item.X, item.Y,
                            item.RightAnchored});
        }
        return anchors;
    }
    const double three[4][4] = {
        {0, 0, 0, 0}, {0.75, 1.25, 1.75, 2.5}, {4.25, 4.75, 5.25, 6.0}, {7.75, 8.25, 8.75, 9.5}};
    const double wallet[4][4] = {{0, 0, 0, 0}, {0.4, 0.75, 1.0, 1.9}, {3.25, 3.65, 3.9, 4.75}, {6.15, 6.5, 6.75, 7.6}};
    const bool isThree = style == kThree;
    const double *y = isThree ? three[slot] : wallet[slot];
    const double column = isThree ? 1.0 : 2.8;
    QList<ExpectedAnchor> anchors{{S("date"), 8.0, y[0], true},
                                  {S("payee"), column, y[1], false},
                                  {S("amount"), 7.25, y[1], true},
                                  {S("words"), column, y[2], false},
                                  {S("memo"), column, y[3], false}};
    if (!isThree) {
        // The account number one empty line of the check font (230 twips) below the memo.
        anchors += QList<ExpectedAnchor>{{S("stub-date"), 1.0, y[0], true},
                                         {S("stub-payee"), 0.5, y[1], false},
                                         {S("stub-memo"), 0.5, y[3], false},
                                         {S("stub-account"), 0.5, y[3] + 2 * 230.0 / 1440, false}};
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
    ASSERT_TRUE(PrintTestSheet(
        printer, {formOf(style), QStringLiteral("Laser 1"), offset, QStringLiteral("12/07/2026"), true, {}}));
    const double dx = offset.Horizontal * 14.4;
    const double dy = offset.Vertical * 14.4;

    const QList<PrinterCall> texts = log.Texts();
    QList<PrinterCall> lines;
    for (const PrinterCall &call : log.calls) {
        if (call.kind == PrinterCall::Kind::Line) {
            lines.append(call);
        }
    }
    for (int slot = 1; slot <= formOf(style).ChecksPerSheet(); ++slot) {
        for (const ExpectedAnchor &anchor : expectedAnchors(style, slot)) {
            const double x = anchor.x * 1440 + dx;
            const double y = anchor.top * 1440 + dy;
            const auto label = std::find_if(texts.cbegin(), texts.cend(), [&](const PrinterCall &call) {
                const double end = anchor.right ? call.x + printer.TextWidth(call.text) : call.x;
                return call.text == anchor.name && std::abs(end - x) < 1e-6 && std::abs(call.y - y) < 1e-6;
            });
            EXPECT_NE(label, texts.cend()) << qPrintable(anchor.name) << " of slot " << slot;
            // The cross: a level and an upright line through the anchor.
            const auto crossing = std::count_if(lines.cbegin(), lines.cend(), [&](const PrinterCall &line) {
                return std::abs((line.x + line.x2) / 2 - x) < 1e-6 && std::abs((line.y + line.y2) / 2 - y) < 1e-6;
            });
            EXPECT_EQ(crossing, 2) << qPrintable(anchor.name) << " of slot " << slot;
        }
    }
    EXPECT_EQ(log.Count(PrinterCall::Kind::EndDoc), 1);
    EXPECT_EQ(log.Count(PrinterCall::Kind::NewPage), 0);
    EXPECT_TRUE(std::all_of(lines.cbegin(), lines.cend(), [](const PrinterCall &line) { return !line.faint; }));
    // The whole ruler: a tick every tenth of an inch along the top (8.5 in) and the left (11 in), where
    // the paper is whatever the offset, and its 0 named.
    const auto ticks = std::count_if(lines.cbegin(), lines.cend(), [&](const PrinterCall &line) {
        return (line.y == 0 && line.x == line.x2) || (line.x == 0 && line.y == line.y2);
    });
    EXPECT_GE(ticks, 85 + 110);
    EXPECT_TRUE(std::any_of(texts.cbegin(), texts.cend(), [](const PrinterCall &call) {
        return call.text == QStringLiteral("0") && call.x < 144 && call.y < 144;
    }));
    for (const PrinterCall &call : texts) {
        if (call.text.size() <= 2 && call.text != QStringLiteral("0") && call.text.at(0).isDigit() && call.y < 216) {
            EXPECT_NEAR(std::fmod(call.x - 20, 1440), 0, 1e-6) << "ruler number " << qPrintable(call.text);
        }
    }
    // The information lines, wrapped at blanks: joined again they are the caption and the instructions.
    QStringList block;
    const QRectF area = TestSheetTextArea(formOf(style));
    for (const PrinterCall &call : texts) {
        if (area.contains(call.x, call.y)) {
            block << call.text;
            EXPECT_DOUBLE_EQ(call.x, area.left());
            EXPECT_LE(printer.TextWidth(call.text), area.width()) << qPrintable(call.text);
        }
    }
    const QString joined = block.join(QLatin1Char(' '));
    const TestSheetRequest request{
        formOf(style), QStringLiteral("Laser 1"), offset, QStringLiteral("12/07/2026"), true, {}};
    EXPECT_TRUE(joined.startsWith(TestSheetCaption(request))) << qPrintable(joined);
    for (const QString &part : {QStringLiteral("Laser 1"), style, OffsetText(offset.Horizontal),
                                OffsetText(offset.Vertical), QStringLiteral("12/07/2026")}) {
        EXPECT_TRUE(TestSheetCaption(request).contains(part)) << " lacks " << qPrintable(part);
    }
    for (const QString &paragraph : TestSheetInstructions()) {
        EXPECT_TRUE(joined.contains(paragraph)) << qPrintable(paragraph);
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
                                           SheetCase{"Deluxe Wallet-Size", {-100, 100}},
                                           SheetCase{"Voucher, Check in Middle", {5, 5}}));

TEST(TestSheet, textAreaStaysClearOfEveryFormLineAndMark_insideTheMargins) {
    for (const CheckForm &form : BuiltInForms()) {
        SCOPED_TRACE(form.Name.toStdString());
        const QRectF area = TestSheetTextArea(form);
        // Within the sheet less a quarter inch each side, the widest printer margin, and wide and tall
        // enough for the lines.
        EXPECT_TRUE(QRectF(0, 0, 8.0 * 1440, 10.5 * 1440).contains(area));
        EXPECT_GE(area.width(), 5.5 * 1440) << area.x() / 1440 << "," << area.y() / 1440 << " " << area.height() / 1440;
        EXPECT_GE(area.height(), 1.6 * 1440);
        for (int slot = 1; slot <= form.ChecksPerSheet(); ++slot) {
            // No edge of a check or stub runs through it.
            for (const QLineF &line : form.Areas[slot - 1].OutlineLines()) {
                const QRectF edge = QRectF(line.p1() * 1440, line.p2() * 1440).normalized();
                const bool across = edge.left() < area.right() && edge.right() > area.left() &&
                                    edge.top() < area.bottom() && edge.bottom() > area.top();
                EXPECT_FALSE(across) << "edge " << line.x1() << "," << line.y1() << " - " << line.x2() << ","
                                     << line.y2();
            }
            // No mark's cross or name (with a line's height and an inch of name) reaches into it.
            for (const CheckAnchor &anchor : CheckAnchors(form, slot)) {
                const double left = anchor.RightAligned ? anchor.X - 1440 : anchor.X - 72;
                const QRectF mark(left, anchor.Y - 72, 1440 + 144, 240 + 144);
                EXPECT_FALSE(mark.intersects(area)) << qPrintable(anchor.Name) << " of slot " << slot;
            }
        }
    }
}

TEST(TestSheet, failingPrinterAbandonsTheJob) {
    PrinterLog log;
    RecordingPrinter printer(log);
    printer.failAtCall = 5;
    EXPECT_FALSE(
        PrintTestSheet(printer, {formOf(kThree), QStringLiteral("Laser"), {}, QStringLiteral("1/2/2026"), true, {}}));
    EXPECT_EQ(log.Count(PrinterCall::Kind::Abort), 1);
    EXPECT_EQ(log.Count(PrinterCall::Kind::EndDoc), 0);
}

TEST(AlignmentSample, drawsTheTopCheckMovedByTheOffsetOverTheFormThatStays) {
    for (const QString &style : {kThree, kWallet, QStringLiteral("Voucher, Check on Bottom")}) {
        PrinterLog plain;
        RecordingPrinter unmoved(plain);
        ASSERT_TRUE(DrawAlignmentSample(unmoved, formOf(style), {}, false, QStringLiteral("12/07/2026"), QLocale()));
        PrinterLog shifted;
        RecordingPrinter moved(shifted);
        ASSERT_TRUE(
            DrawAlignmentSample(moved, formOf(style), {25, -10}, false, QStringLiteral("12/07/2026"), QLocale()));

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
    ASSERT_TRUE(PrintTestSheet(
        *printer, {formOf(style), printer->PrinterName(), offset, QStringLiteral("12/07/2026"), true, {}}));

    const QList<PdfPage> pages = ReadPdfWords(pdf);
    ASSERT_EQ(pages.size(), 1);
    const QList<PdfWord> &words = pages[0].words;
    for (int slot = 1; slot <= formOf(style).ChecksPerSheet(); ++slot) {
        for (const ExpectedAnchor &anchor : expectedAnchors(style, slot)) {
            const double x = margin.x() + (anchor.x + offset.Horizontal / 100.0) * 72;
            const double top = margin.y() + (anchor.top + offset.Vertical / 100.0) * 72;
            const PdfWord *found = nullptr;
            for (const PdfWord &word : words) {
                if (word.text == anchor.name && std::abs((anchor.right ? word.xMax : word.xMin) - x) < 1 &&
                    std::abs(word.yMin - top) < 5) {
                    found = &word;
                }
            }
            ASSERT_NE(found, nullptr) << qPrintable(anchor.name) << " of slot " << slot << " near " << x << ", " << top;
            EXPECT_NEAR(anchor.right ? found->xMax : found->xMin, x, 0.05)
                << qPrintable(anchor.name) << " of slot " << slot;
            EXPECT_NEAR(found->yMin, top, 0.05) << qPrintable(anchor.name) << " of slot " << slot;
        }
    }
    const bool captioned = std::any_of(words.cbegin(), words.cend(),
                                       [](const PdfWord &word) { return word.text == QStringLiteral("12/07/2026"); });
    EXPECT_TRUE(captioned);
}

TEST(TestSheetPdfLayout, aLongPrinterNameStaysOnThePageInsideTheTextArea) {
    // 25 characters, as a real queue may be named.
    const QString name = QStringLiteral("Accounting Laser Floor 2B");
    ASSERT_EQ(name.size(), 25);
    for (const QString &style : {kThree, kWallet, QStringLiteral("Voucher, Check on Top")}) {
        SCOPED_TRACE(style.toStdString());
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        std::unique_ptr<Printer> printer = MakePdfPrinter(pdf);
        auto &qt = dynamic_cast<QtPrinter &>(*printer);
        const QRectF paint = qt.device().pageLayout().paintRect(QPageLayout::Point);
        ASSERT_TRUE(PrintTestSheet(*printer, {formOf(style), name, {-5, -5}, QStringLiteral("12/07/2026"), false, {}}));
        const QList<PdfPage> pages = ReadPdfWords(pdf);
        ASSERT_EQ(pages.size(), 1);
        const QRectF twips = TestSheetTextArea(formOf(style));
        const QRectF area(paint.x() + twips.x() / 20, paint.y() + twips.y() / 20, twips.width() / 20,
                          twips.height() / 20);
        int inArea = 0;
        for (const PdfWord &word : pages[0].words) {
            EXPECT_GE(word.xMin, paint.left() - 0.5) << qPrintable(word.text);
            EXPECT_LE(word.xMax, paint.right() + 0.5) << qPrintable(word.text);
            EXPECT_LE(word.yMax, paint.bottom() + 0.5) << qPrintable(word.text);
            if (word.text == QStringLiteral("Floor") || word.text == QStringLiteral("12/07/2026") ||
                word.text == QStringLiteral("light,") || word.text == QStringLiteral("baseline")) {
                EXPECT_TRUE(area.adjusted(-0.5, -0.5, 0.5, 4)
                                .contains(QRectF(word.xMin, word.yMin, word.xMax - word.xMin, word.yMax - word.yMin)))
                    << qPrintable(word.text) << " at " << word.xMin << ", " << word.yMin;
                ++inArea;
            }
        }
        EXPECT_EQ(inArea, 4);
    }
}

// The real printer dialog, asked to open on the PDF file as the alignment window does for it.
TEST(TestSheetPrinterDialog, opensOnThePrinterAskedFor_thePdfFile) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    bool toFile = false;
    WhenUp<QPrintDialog>([&](QPrintDialog &shown) {
        toFile = shown.printer()->outputFormat() == QPrinter::PdfFormat;
        if (auto *file = shown.findChild<QLineEdit *>(QStringLiteral("filename"))) {
            file->setText(pdf);
        }
        shown.accept();
    });
    QtPrinterDialog dialog;
    std::unique_ptr<Printer> printer = dialog.ShowPrinter(kPdfPrinterName);
    ASSERT_NE(printer, nullptr);
    EXPECT_TRUE(toFile);
    EXPECT_EQ(printer->PrinterName(), kPdfPrinterName);
    ASSERT_TRUE(
        PrintTestSheet(*printer, {formOf(kThree), printer->PrinterName(), {}, QStringLiteral("1/2/2026"), true, {}}));
    EXPECT_TRUE(QFileInfo::exists(pdf));
}

INSTANTIATE_TEST_SUITE_P(Styles, TestSheetPdf,
                         ::testing::Values(SheetCase{"Deluxe 3-On-A-Page", {0, 0}},
                                           SheetCase{"Deluxe 3-On-A-Page", {10, -5}},
                                           SheetCase{"Deluxe Wallet-Size", {-20, 15}},
                                           SheetCase{"Voucher, Check on Top", {0, 0}}));

} // namespace
