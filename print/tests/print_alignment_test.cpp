#include "platform/testing/RecordingPrinter.h"
#include "print/CheckLayout.h"
#include "print/FormOutline.h"
#include "print/MoneyPrint.h"
#include "print/PreviewRun.h"
#include "print/PrintAdjustment.h"
#include "print/tests/PrintTestSupport.h"
#include "words/Currency.h"
#include "words/MoneyConverter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Kind = PrinterCall::Kind;

const QString kThree = QStringLiteral("Deluxe 3-On-A-Page");
const QString kWallet = QStringLiteral("Deluxe Wallet-Size");

// The calls that draw something or end a sheet, as (kind, text, x, y, font, clip, sheet).
struct Drawn {
    Kind kind;
    QString text;
    double x, y, x2, y2;
    QString face;
    double size;
    double clipRight;
    int sheet;
    bool endLine;
};

QList<Drawn> drawn(const PrinterLog &log, double dx = 0, double dy = 0) {
    QList<Drawn> calls;
    for (const PrinterCall &call : log.calls) {
        // Only texts and lines have a place on the sheet.
        const bool placed = call.kind == Kind::Text || call.kind == Kind::Line;
        const double px = placed ? dx : 0;
        const double py = placed ? dy : 0;
        calls.append({call.kind, call.text, call.x - px, call.y - py, call.x2 - px, call.y2 - py, call.face, call.size,
                      call.kind == Kind::ClipRight && call.value > 0 ? call.value - dx : call.value, call.sheet,
                      call.endLine});
        if (call.kind == Kind::Text && call.clipRight > 0) {
            calls.last().clipRight = call.clipRight - dx;
        }
    }
    return calls;
}

void expectSame(const QList<Drawn> &a, const QList<Drawn> &b) {
    ASSERT_EQ(a.size(), b.size());
    for (qsizetype i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].kind, b[i].kind) << "call " << i;
        EXPECT_EQ(a[i].text, b[i].text) << "call " << i;
        EXPECT_NEAR(a[i].x, b[i].x, 1e-6) << "call " << i << " " << qPrintable(a[i].text);
        EXPECT_NEAR(a[i].y, b[i].y, 1e-6) << "call " << i << " " << qPrintable(a[i].text);
        EXPECT_EQ(a[i].face, b[i].face) << "call " << i;
        EXPECT_EQ(a[i].size, b[i].size) << "call " << i;
        EXPECT_NEAR(a[i].clipRight, b[i].clipRight, 1e-6) << "call " << i;
        EXPECT_EQ(a[i].sheet, b[i].sheet) << "call " << i;
        EXPECT_EQ(a[i].endLine, b[i].endLine) << "call " << i;
    }
}

// A print run on the recording printer named "Laser", with the given adjustment for it.
struct AlignedRun : PrintFixture {
    QStringList asked;
    PrintResult Run(const QString &style, const PrintAdjustment &adjustment, int checks = 5) {
        WriteChecks(checks);
        configure = [](RecordingPrinter &printer) { printer.printerName = QStringLiteral("Laser"); };
        PrintRequest request;
        request.CheckStyle = style;
        request.AcctNo = QStringLiteral("123-456789");
        request.ChecksOnFirstSheet = 2;
        request.Adjustment = [this, adjustment](const QString &printer, const QString &checkStyle) {
            asked << printer + u'|' + checkStyle;
            return printer == QStringLiteral("Laser") ? adjustment : PrintAdjustment{};
        };
        return PrintPendingChecks(platform, request);
    }
};

struct ShiftCase {
    const char *style;
    double dx, dy;
};

class PrintRunOffsets : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(PrintRunOffsets, everyItemMovesByTheChosenPrintersOffset) {
    const QString style = QString::fromLatin1(GetParam().style);
    AlignedRun plain;
    ASSERT_EQ(plain.Run(style, {}).outcome, PrintOutcome::Printed);
    AlignedRun moved;
    ASSERT_EQ(moved.Run(style, {GetParam().dx, GetParam().dy, false}).outcome, PrintOutcome::Printed);
    EXPECT_EQ(moved.asked, QStringList{QStringLiteral("Laser|") + style});
    // Texts and clips move; the calls, fonts and sheets are the same.
    QList<Drawn> back = drawn(moved.log, GetParam().dx, GetParam().dy);
    expectSame(back, drawn(plain.log));
}

INSTANTIATE_TEST_SUITE_P(Offsets, PrintRunOffsets,
                         ::testing::Values(ShiftCase{"Deluxe 3-On-A-Page", 144, -72},
                                           ShiftCase{"Deluxe 3-On-A-Page", -1440, 1440},
                                           ShiftCase{"Deluxe Wallet-Size", 14.4, 0},
                                           ShiftCase{"Deluxe Wallet-Size", -72, 288}));

TEST(PrintRunOffsets, noOffsetOrAnotherPrinter_drawsExactlyAsWithoutAlignment) {
    AlignedRun unaligned;
    unaligned.WriteChecks(4);
    unaligned.Run(kWallet, {}, 4);
    PrintFixture bare;
    bare.WriteChecks(4);
    ASSERT_EQ(bare.Run(kWallet, 2).outcome, PrintOutcome::Printed);
    expectSame(drawn(unaligned.log), drawn(bare.log));
    EXPECT_EQ(unaligned.log.calls.size(), bare.log.calls.size());
}

TEST(OffsetPrinter, keepsTheLayoutsCoordinatesAcrossLinesSheetsAndClips) {
    PrinterLog log;
    RecordingPrinter target(log);
    target.lineHeight = 200;
    OffsetPrinter printer(target, 100, 50);
    EXPECT_EQ(printer.CurrentX(), 0);
    EXPECT_EQ(printer.CurrentY(), 0);
    printer.SetCurrentX(1000);
    printer.SetCurrentY(2000);
    EXPECT_EQ(printer.CurrentX(), 1000);
    ASSERT_TRUE(printer.Print(QStringLiteral("first"), true));
    // The next line starts at the layout's left edge, which is moved too.
    EXPECT_EQ(printer.CurrentX(), 0);
    EXPECT_EQ(printer.CurrentY(), 2200);
    ASSERT_TRUE(printer.Print(QStringLiteral("second"), true));
    printer.SetClipRight(3888);
    ASSERT_TRUE(printer.Print(QStringLiteral("clipped"), false));
    printer.SetClipRight(0);
    ASSERT_TRUE(printer.NewPage());
    ASSERT_TRUE(printer.Print(QStringLiteral("top"), true));
    ASSERT_TRUE(printer.DrawLine(0, 0, 10, 20, Printer::Pen::Solid));

    const QList<PrinterCall> texts = log.Texts();
    ASSERT_EQ(texts.size(), 4);
    EXPECT_EQ(texts[0].x, 1100);
    EXPECT_EQ(texts[0].y, 2050);
    EXPECT_EQ(texts[1].x, 100);
    EXPECT_EQ(texts[1].y, 2250);
    EXPECT_EQ(texts[2].clipRight, 3988);
    EXPECT_EQ(texts[3].x, 100);
    EXPECT_EQ(texts[3].y, 50);
    EXPECT_EQ(texts[3].sheet, 2);
    const PrinterCall &line = log.calls.last();
    EXPECT_EQ(line.kind, Kind::Line);
    EXPECT_EQ(QLineF(line.x, line.y, line.x2, line.y2), QLineF(100, 50, 110, 70));
    // Switching the clip off stays off.
    EXPECT_EQ(log.calls[log.calls.size() - 4].kind, Kind::ClipRight);
    EXPECT_EQ(log.calls[log.calls.size() - 4].value, 0);
}

TEST(OffsetPrinter, aFailedCallIsPassedOnWithItsReason) {
    PrinterLog log;
    RecordingPrinter target(log);
    target.failAtCall = 1;
    OffsetPrinter printer(target, 10, 10);
    EXPECT_FALSE(printer.Print(QStringLiteral("x"), true));
    EXPECT_EQ(printer.ErrorText(), target.failText);
    EXPECT_EQ(printer.PrinterName(), target.PrinterName());
}

struct FiguresCase {
    const char *amount;
    const char *figures;
};

class ProtectedFiguresText : public ::testing::TestWithParam<FiguresCase> {};

TEST_P(ProtectedFiguresText, leadingAsterisksUpToTheFixedWidth) {
    EXPECT_EQ(ProtectedFigures(QString::fromLatin1(GetParam().amount)), QString::fromLatin1(GetParam().figures));
}

INSTANTIATE_TEST_SUITE_P(Amounts, ProtectedFiguresText,
                         ::testing::Values(FiguresCase{"$1,234.56", "**$1,234.56"}, FiguresCase{"$7.00", "******$7.00"},
                                           FiguresCase{"$10,000.00", "*$10,000.00"},
                                           FiguresCase{"$100,000.00", "$100,000.00"},
                                           FiguresCase{"$1,000,000.00", "$1,000,000.00"}));

// One check on a recording printer set up as the run's, with or without protection.
PrinterLog oneCheck(const QString &style, const QString &amount, bool protection, double charWidth = 0) {
    PrinterLog log;
    RecordingPrinter printer(log);
    printer.charWidth = charWidth;
    SetupPrinter(printer, QStringLiteral("Portrait"));
    const CheckSettings settings{style, QStringLiteral("123"), QStringLiteral("12/07/2026"),
                                 QLocale(QLocale::English, QLocale::UnitedStates), protection};
    EXPECT_TRUE(PrintOneCheck(printer, settings, QStringLiteral("Payee"), amount, QStringLiteral("Memo"), 1));
    return log;
}

struct ProtectionCase {
    const char *style;
    const char *amount;
    double charWidth;
};

class CheckProtection : public ::testing::TestWithParam<ProtectionCase> {};

TEST_P(CheckProtection, fillsTheWordsLineAndTheFigures_breakingTheWordsAsBefore) {
    const QString style = QString::fromLatin1(GetParam().style);
    const QString amount = QString::fromLatin1(GetParam().amount);
    const double charWidth = GetParam().charWidth;
    const QList<PrinterCall> plain = oneCheck(style, amount, false, charWidth).Texts();
    const QList<PrinterCall> guarded = oneCheck(style, amount, true, charWidth).Texts();
    ASSERT_EQ(plain.size(), guarded.size());

    PrinterLog measureLog;
    RecordingPrinter measure(measureLog);
    measure.charWidth = charWidth;
    SetupPrinter(measure, QStringLiteral("Portrait"));
    const QString words = AmountToWords(*Currency::fromText(amount));
    int wordLines = 0;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        EXPECT_DOUBLE_EQ(guarded[i].y, plain[i].y) << qPrintable(plain[i].text);
        const bool figures = plain[i].text.startsWith(u'$');
        const bool lastWordsLine = plain[i].text.endsWith(QStringLiteral("CENTS"));
        if (figures) {
            EXPECT_EQ(guarded[i].text, ProtectedFigures(plain[i].text));
            // Still right-aligned at 7.25 in.
            EXPECT_NEAR(guarded[i].x + measure.TextWidth(guarded[i].text), 10440, 1e-6);
        } else if (lastWordsLine) {
            ++wordLines;
            const QString stars = guarded[i].text.mid(plain[i].text.size());
            EXPECT_TRUE(guarded[i].text.startsWith(plain[i].text));
            EXPECT_FALSE(stars.isEmpty());
            EXPECT_EQ(stars, QString(stars.size(), u'*'));
            // Up to the end of the words line, and not one more.
            EXPECT_LE(std::floor(measure.TextWidth(guarded[i].text)), 5740);
            EXPECT_GT(std::floor(measure.TextWidth(guarded[i].text + u'*')), 5740);
            EXPECT_DOUBLE_EQ(guarded[i].x, plain[i].x);
        } else {
            EXPECT_EQ(guarded[i].text, plain[i].text);
            EXPECT_DOUBLE_EQ(guarded[i].x, plain[i].x);
        }
    }
    EXPECT_EQ(wordLines, 1);
    EXPECT_TRUE(words.endsWith(QStringLiteral("CENTS")));
}

INSTANTIATE_TEST_SUITE_P(Checks, CheckProtection,
                         ::testing::Values(ProtectionCase{"Deluxe 3-On-A-Page", "1234.56", 0},
                                           ProtectionCase{"Deluxe Wallet-Size", "7", 0},
                                           // Long words wrap over lines; the break stays where it was.
                                           ProtectionCase{"Deluxe 3-On-A-Page", "777777777.77", 0},
                                           ProtectionCase{"Deluxe 3-On-A-Page", "373737.37", 100}));

TEST(CheckProtection, offByDefault_noAsteriskAnywhere) {
    for (const QString &style : {kThree, kWallet}) {
        for (const QString &amount :
             {QStringLiteral("1234.56"), QStringLiteral("0.01"), QStringLiteral("777777777.77")}) {
            PrinterLog log;
            RecordingPrinter printer(log);
            SetupPrinter(printer, QStringLiteral("Portrait"));
            const CheckSettings settings{style, QStringLiteral("123"), QStringLiteral("12/07/2026"), QLocale()};
            ASSERT_TRUE(PrintOneCheck(printer, settings, QStringLiteral("Payee"), amount, QStringLiteral("Memo"), 1));
            for (const PrinterCall &call : log.Texts()) {
                EXPECT_FALSE(call.text.contains(u'*')) << qPrintable(call.text);
            }
        }
    }
}

TEST(CheckProtection, reachesThePrintRunFromTheAdjustment) {
    AlignedRun run;
    ASSERT_EQ(run.Run(kThree, {0, 0, true}, 1).outcome, PrintOutcome::Printed);
    const QList<PrinterCall> texts = run.log.Texts();
    EXPECT_TRUE(std::any_of(texts.cbegin(), texts.cend(),
                            [](const PrinterCall &call) { return call.text == QStringLiteral("******$1.00"); }));
}

// The preview on the recording printer of the test platform, against the print run on another.
struct PreviewCase {
    const char *style;
    int checksOnFirstSheet;
    double dx, dy;
    QPointF paperCorner; // of the preview's printer
};

class PreviewMatchesRun : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(PreviewMatchesRun, drawsWhatThePrintRunDrawsItemByItem_plusFaintOutlines) {
    const QString style = QString::fromLatin1(GetParam().style);
    const PrintAdjustment adjustment{GetParam().dx, GetParam().dy, false};
    PrintFixture run;
    run.WriteChecks(5);
    run.configure = [](RecordingPrinter &printer) { printer.printerName = QStringLiteral("Laser"); };
    PrintRequest request;
    request.CheckStyle = style;
    request.AcctNo = QStringLiteral("123-456789");
    request.ChecksOnFirstSheet = GetParam().checksOnFirstSheet;
    request.Adjustment = [adjustment](const QString &printer, const QString &) {
        return printer == QStringLiteral("Laser") ? adjustment : PrintAdjustment{};
    };
    ASSERT_EQ(PrintPendingChecks(run.platform, request).outcome, PrintOutcome::Printed);

    PrintFixture preview;
    preview.WriteChecks(5);
    const QByteArray registerBefore = preview.ReadRegister();
    preview.preview.answer = FakePrintPreview::Answer::Close;
    preview.preview.paperCorner = GetParam().paperCorner;
    EXPECT_EQ(PreviewPendingChecks(preview.platform, request, QStringLiteral("Laser")), nullptr);
    EXPECT_EQ(preview.preview.shown, 1);
    EXPECT_EQ(preview.printerDialog.shown, 0);
    EXPECT_TRUE(preview.messages.shown.isEmpty());
    EXPECT_EQ(preview.ReadRegister(), registerBefore);

    QList<Drawn> previewed;
    QList<Drawn> outlines;
    for (const Drawn &call : drawn(preview.preview.log)) {
        (call.kind == Kind::Line ? outlines : previewed).append(call);
    }
    expectSame(previewed, drawn(run.log));
    EXPECT_EQ(run.log.Count(Kind::Line), 0);
    // Every sheet gets the form's outline, faint, where the form lies on the paper (from its corner,
    // not from the printable area's, and not moved by the offset).
    const int sheets = static_cast<int>(run.log.Count(Kind::NewPage)) + 1;
    const qsizetype perSheet = style == kThree ? 12 : 15;
    EXPECT_EQ(outlines.size(), perSheet * sheets);
    PrinterLog expectedLog;
    RecordingPrinter expected(expectedLog);
    DrawFormOutline(expected, *BuiltInForm(style), Printer::Pen::Faint);
    for (PrinterCall &line : expectedLog.calls) {
        line.x += GetParam().paperCorner.x();
        line.y += GetParam().paperCorner.y();
        line.x2 += GetParam().paperCorner.x();
        line.y2 += GetParam().paperCorner.y();
    }
    for (qsizetype i = 0; i < outlines.size(); ++i) {
        const PrinterCall &want = expectedLog.calls[i % perSheet];
        EXPECT_EQ(QLineF(outlines[i].x, outlines[i].y, outlines[i].x2, outlines[i].y2),
                  QLineF(want.x, want.y, want.x2, want.y2));
        EXPECT_EQ(outlines[i].sheet, static_cast<int>(i / perSheet) + 1);
    }
    for (const PrinterCall &call : preview.preview.log.calls) {
        if (call.kind == Kind::Line) {
            EXPECT_TRUE(call.faint);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, PreviewMatchesRun,
                         ::testing::Values(PreviewCase{"Deluxe 3-On-A-Page", 3, 0, 0, {}},
                                           PreviewCase{"Deluxe 3-On-A-Page", 1, 144, -72, {-200, -200}},
                                           PreviewCase{"Deluxe Wallet-Size", 2, -28.8, 14.4, {-240, -180}}));

TEST(Preview, askingToPrintGivesThePrinterShownAndPrintsNothingItself) {
    PrintFixture preview;
    preview.WriteChecks(2);
    preview.preview.answer = FakePrintPreview::Answer::Print;
    PrintRequest request;
    request.CheckStyle = kThree;
    const std::unique_ptr<Printer> printer = PreviewPendingChecks(preview.platform, request, QStringLiteral("Inkjet"));
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->PrinterName(), QStringLiteral("Inkjet"));
    EXPECT_EQ(preview.printerDialog.shown, 0);
    EXPECT_EQ(preview.log.calls.size(), 0);
    EXPECT_EQ(preview.preview.printed.calls.size(), 0);
}

// The person changes the printer in the preview: the sheets are drawn again with that printer's
// offsets, the line names it, and printing goes to it.
TEST(Preview, choosingAnotherPrinterRedrawsWithItsOffsets_andPrintsOnIt) {
    PrintFixture preview;
    preview.WriteChecks(1);
    preview.configure = [](RecordingPrinter &printer) { printer.printerName = QStringLiteral("Laser"); };
    preview.preview.chooseTimes = 1;
    preview.preview.answer = FakePrintPreview::Answer::Print;
    PrintRequest request;
    request.CheckStyle = kThree;
    request.Adjustment = [](const QString &printer, const QString &) {
        return printer == QStringLiteral("Laser") ? PrintAdjustment{144, -72, true} : PrintAdjustment{};
    };
    const std::unique_ptr<Printer> printer = PreviewPendingChecks(preview.platform, request, QStringLiteral("Inkjet"));
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->PrinterName(), QStringLiteral("Laser"));
    EXPECT_EQ(preview.printerDialog.shown, 1);
    EXPECT_EQ(preview.preview.printerNames, (QStringList{QStringLiteral("Inkjet"), QStringLiteral("Laser")}));
    EXPECT_EQ(preview.preview.descriptions,
              (QStringList{PrinterAdjustmentText(QStringLiteral("Inkjet"), {}),
                           PrinterAdjustmentText(QStringLiteral("Laser"), {144, -72, true})}));
    bool moved = false;
    for (const PrinterCall &call : preview.preview.log.Texts()) {
        moved = moved || (call.text.trimmed() == QStringLiteral("Payee 1") && call.x == 1440 + 144);
    }
    EXPECT_TRUE(moved) << "the last drawing is Laser's, moved by its offset";
    // Nothing reached the chosen printer while the preview was up.
    EXPECT_EQ(preview.log.calls.size(), 0);
}

TEST(FormOutline, checksFollowOneAnotherDownTheSheetAndHoldTheirItems) {
    for (const CheckForm &form : BuiltInForms()) {
        SCOPED_TRACE(form.Name.toStdString());
        for (qsizetype slot = 0; slot < form.Areas.size(); ++slot) {
            const QRectF bounds = form.Areas[slot].Bounds();
            if (slot > 0) {
                EXPECT_DOUBLE_EQ(bounds.top(), form.Areas[slot - 1].Bounds().bottom());
            }
            for (const FormItem &item : form.Areas[slot].Items) {
                EXPECT_GT(item.Y, bounds.top());
                EXPECT_LT(item.Y + 0.2, bounds.bottom());
            }
        }
        EXPECT_LE(form.Areas.last().Bounds().bottom(), 11.0);
        // The outline drawn is the areas' lines, each once, from the sheet's corner.
        PrinterLog log;
        RecordingPrinter printer(log);
        ASSERT_TRUE(DrawFormOutline(printer, form, Printer::Pen::Faint, QPointF(100, 200)));
        QList<QLineF> expected;
        for (const FormArea &area : form.Areas) {
            for (const QLineF &line : area.OutlineLines()) {
                expected.append(QLineF(line.p1() * 1440 + QPointF(100, 200), line.p2() * 1440 + QPointF(100, 200)));
            }
        }
        QList<QLineF> drawn;
        for (const PrinterCall &call : log.calls) {
            drawn.append(QLineF(call.x, call.y, call.x2, call.y2));
        }
        EXPECT_EQ(drawn, expected);
    }
}

} // namespace
