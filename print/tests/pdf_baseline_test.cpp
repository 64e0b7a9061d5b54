// Every word of a fixed set of print runs, printed to PDF through the real printer, against the words
// recorded in data/: the layouts may be rebuilt, the printed checks must not move.
//
// To record the words anew into a folder, run by hand:
//   QUILLANE_BASELINE_CAPTURE=<folder> print_baseline_tests --gtest_also_run_disabled_tests
//     --gtest_filter='*DISABLED_capture*'

#include "forms/BuiltInForms.h"
#include "platform/QtPrinter.h"
#include "platform/testing/PdfText.h"
#include "print/CheckLayout.h"
#include "print/MoneyPrint.h"
#include "print/tests/PrintTestSupport.h"
#include "words/MoneyConverter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kTolerancePt = 0.01;

struct BaselineCase {
    const char *name; // the data file is data/baseline-<name>.txt
    const char *style;
    bool protection;
    double dx, dy; // the printer's offsets, twips
};

// Both styles with check protection and printer offsets on and off.
const BaselineCase kCases[] = {
    {"three-plain", "Deluxe 3-On-A-Page", false, 0, 0},
    {"three-protected", "Deluxe 3-On-A-Page", true, 0, 0},
    {"three-offset", "Deluxe 3-On-A-Page", false, 144, -72},
    {"three-protected-offset", "Deluxe 3-On-A-Page", true, -28.8, 14.4},
    {"wallet-plain", "Deluxe Wallet-Size", false, 0, 0},
    {"wallet-protected", "Deluxe Wallet-Size", true, 0, 0},
    {"wallet-offset", "Deluxe Wallet-Size", false, 144, -72},
    {"wallet-protected-offset", "Deluxe Wallet-Size", true, -28.8, 14.4},
};

// Five checks: slots 1 to 3 of the first sheet and 1 to 2 of the second; amounts whose words wrap
// over two and three lines, a payee and a memo wider than the wallet stub, an empty memo.
QByteArray checkRecords() {
    QByteArray records;
    records += RecordBytes(QStringLiteral("Alpha Hardware & Lumber Supply Company of Springfield"),
                           QStringLiteral("777777777.77"),
                           QStringLiteral("Paint, brushes and ladders for the spring work at the lake house"));
    records += RecordBytes(QStringLiteral("Bravo Gas"), QStringLiteral("20.05"), QStringLiteral("March bill"));
    records += RecordBytes(QStringLiteral("Charlie Books"), QStringLiteral("7"), QString());
    records += RecordBytes(QStringLiteral("Delta Water"), QStringLiteral("373737.37"), QStringLiteral("Quarter"));
    records += RecordBytes(QStringLiteral("Echo"), QStringLiteral("0.01"), QStringLiteral("Refund"));
    return records;
}

QList<PdfPage> printCase(const BaselineCase &item) {
    PrintFixture run;
    const QString pdf = run.dir.filePath(QStringLiteral("checks.pdf"));
    run.printerDialog.makePrinter = [&pdf] { return MakePdfPrinter(pdf); };
    run.WriteRegister(checkRecords());
    PrintRequest request;
    request.CheckStyle = QString::fromLatin1(item.style);
    request.AcctNo = QStringLiteral("123-456789");
    request.ChecksOnFirstSheet = 3;
    const PrintAdjustment adjustment{item.dx, item.dy, item.protection};
    request.Adjustment = [adjustment](const QString &, const QString &) { return adjustment; };
    const PrintResult result = PrintPendingChecks(run.platform, request);
    EXPECT_EQ(result.outcome, PrintOutcome::Printed) << item.name;
    EXPECT_EQ(result.printed, 5) << item.name;
    return ReadPdfWords(pdf);
}

QString dataPath(const QString &folder, const BaselineCase &item) {
    return QDir(folder).filePath(QStringLiteral("baseline-%1.txt").arg(QString::fromLatin1(item.name)));
}

// One line per sheet ("page <width> <height>") and one per word ("<xMin> <yMin> <xMax> <yMax> <text>").
QString toText(const QList<PdfPage> &pages) {
    QString text;
    QTextStream out(&text);
    out.setRealNumberNotation(QTextStream::FixedNotation);
    out.setRealNumberPrecision(3);
    for (const PdfPage &page : pages) {
        out << "page " << page.width << ' ' << page.height << '\n';
        for (const PdfWord &word : page.words) {
            out << word.xMin << ' ' << word.yMin << ' ' << word.xMax << ' ' << word.yMax << ' ' << word.text << '\n';
        }
    }
    return text;
}

QList<PdfPage> fromText(const QString &text) {
    QList<PdfPage> pages;
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u' ');
        if (fields.first() == QStringLiteral("page") && fields.size() == 3) {
            pages.append(PdfPage{fields[1].toDouble(), fields[2].toDouble(), {}});
        } else if (fields.size() == 5 && !pages.isEmpty()) {
            pages.last().words.append(PdfWord{fields[4], fields[0].toDouble(), fields[1].toDouble(),
                                              fields[2].toDouble(), fields[3].toDouble()});
        } else {
            ADD_FAILURE() << "unreadable line: " << qPrintable(line);
        }
    }
    return pages;
}

int capture(const QString &folder) {
    if (folder.isEmpty()) {
        qWarning("QUILLANE_BASELINE_CAPTURE names no folder");
        return 1;
    }
    for (const BaselineCase &item : kCases) {
        const QList<PdfPage> pages = printCase(item);
        QFile file(dataPath(folder, item));
        const QByteArray bytes = toText(pages).toUtf8();
        if (pages.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size()) {
            qWarning("cannot write %s", qPrintable(file.fileName()));
            return 1;
        }
        qInfo("%s: %d sheets", qPrintable(file.fileName()), int(pages.size()));
    }
    return 0;
}

// Not a test: records the words anew (see the top of this file).
TEST(PdfBaselineRecording, DISABLED_capture) {
    EXPECT_EQ(capture(qEnvironmentVariable("QUILLANE_BASELINE_CAPTURE")), 0);
}

class PdfBaseline : public ::testing::TestWithParam<BaselineCase> {};

TEST_P(PdfBaseline, everyWordStandsWhereItWasRecorded) {
    const BaselineCase &item = GetParam();
    QFile file(dataPath(QString::fromUtf8(QUILLANE_BASELINE_DATA), item));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
    const QList<PdfPage> recorded = fromText(QString::fromUtf8(file.readAll()));
    const QList<PdfPage> printed = printCase(item);
    ASSERT_EQ(printed.size(), recorded.size());
    ASSERT_EQ(printed.size(), 2);
    for (qsizetype page = 0; page < printed.size(); ++page) {
        EXPECT_NEAR(printed[page].width, recorded[page].width, kTolerancePt);
        EXPECT_NEAR(printed[page].height, recorded[page].height, kTolerancePt);
        const QList<PdfWord> &want = recorded[page].words;
        const QList<PdfWord> &got = printed[page].words;
        ASSERT_EQ(got.size(), want.size()) << "sheet " << page + 1;
        for (qsizetype i = 0; i < got.size(); ++i) {
            const auto where = [&] {
                return testing::Message()
                       << "sheet " << page + 1 << ", word " << i + 1 << " \"" << qPrintable(want[i].text) << "\"";
            };
            EXPECT_EQ(got[i].text, want[i].text) << where();
            EXPECT_NEAR(got[i].xMin, want[i].xMin, kTolerancePt) << where();
            EXPECT_NEAR(got[i].yMin, want[i].yMin, kTolerancePt) << where();
            EXPECT_NEAR(got[i].xMax, want[i].xMax, kTolerancePt) << where();
            EXPECT_NEAR(got[i].yMax, want[i].yMax, kTolerancePt) << where();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, PdfBaseline, ::testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<BaselineCase> &param) {
                             std::string name = param.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// The built-in descriptions of both styles against what the print run draws today: every text drawn
// for a check stands where an item of its slot's area puts it, to the twip.
TEST(BuiltInDeluxeForms, placeEveryItemWhereThePrintRunDrawsIt) {
    const QString date = QStringLiteral("12/07/2026");
    const QString account = QStringLiteral("ACCT-56789");
    const QString words = AmountToWords(*Currency::fromText(QStringLiteral("1234.56")));
    for (const QString &style : {kFormThreeOnAPage, kFormWalletSize}) {
        const std::optional<CheckForm> form = BuiltInForm(style);
        ASSERT_TRUE(form);
        ASSERT_EQ(form->ChecksPerSheet(), 3);
        for (int slot = 1; slot <= 3; ++slot) {
            SCOPED_TRACE(qPrintable(style + QStringLiteral(", slot %1").arg(slot)));
            PrinterLog log;
            RecordingPrinter printer(log);
            SetupPrinter(printer, QStringLiteral("Portrait"));
            const CheckSettings settings{style, account, date, QLocale(QLocale::English, QLocale::UnitedStates)};
            ASSERT_TRUE(PrintOneCheck(printer, settings, QStringLiteral("PAYEE"), QStringLiteral("1234.56"),
                                      QStringLiteral("MEMO"), slot));
            QList<PrinterCall> texts = log.Texts();
            for (const FormItem &item : form->Areas[slot - 1].Items) {
                const QString expected = item.Field == FormField::Date      ? date
                                         : item.Field == FormField::Payee   ? QStringLiteral("PAYEE")
                                         : item.Field == FormField::Amount  ? QStringLiteral("$1,234.56")
                                         : item.Field == FormField::Words   ? words
                                         : item.Field == FormField::Memo    ? QStringLiteral("MEMO")
                                         : item.Field == FormField::Account ? account
                                                                            : QString();
                ASSERT_FALSE(expected.isEmpty()) << qPrintable(FieldKey(item.Field));
                const auto drawn = std::find_if(texts.begin(), texts.end(), [&](const PrinterCall &call) {
                    const double x = item.RightAnchored ? call.x + printer.TextWidth(call.text) : call.x;
                    const bool text = item.Field == FormField::Words
                                          ? !call.text.isEmpty() && expected.startsWith(call.text)
                                          : call.text == expected;
                    return text && std::abs(x - item.X * 1440) < 0.2 && std::abs(call.y - item.Y * 1440) < 0.2;
                });
                ASSERT_NE(drawn, texts.end()) << qPrintable(FieldKey(item.Field)) << (item.Stub ? " on the stub" : "")
                                              << " at " << item.X << ", " << item.Y;
                EXPECT_EQ(drawn->size, item.FontSize);
                EXPECT_NEAR(drawn->clipRight, item.ClipWidth > 0 ? (item.X + item.ClipWidth) * 1440 : 0, 0.2);
                if (item.Field == FormField::Words) {
                    EXPECT_EQ(item.Width * 1440, kWordsWidth);
                    EXPECT_EQ(item.Rule, WordsRule::Wrap);
                    // The words go on below, from the same column.
                    for (auto next = drawn + 1; next != texts.end() && words.contains(next->text);) {
                        EXPECT_NEAR(next->x, item.X * 1440, 0.2);
                        next = texts.erase(next);
                    }
                }
                texts.erase(drawn);
            }
            // Nothing is drawn that no item asks for.
            QStringList rest;
            for (const PrinterCall &call : std::as_const(texts)) {
                rest << call.text;
            }
            EXPECT_EQ(rest, QStringList());
        }
    }
}

// Every built-in voucher form printed to PDF through the real print run and read back: each item's
// text stands where its description puts it, left or right end, to 0.05 pt. The run draws from the
// printable area's corner, as it always has.
TEST(VoucherForms, printEveryItemWhereTheFormSays) {
    constexpr double kItemTolerancePt = 0.05;
    const QString date = QStringLiteral("12/07/2026");
    for (const QString &name : {kFormVoucherTop, kFormVoucherMiddle, kFormVoucherBottom}) {
        SCOPED_TRACE(qPrintable(name));
        const std::optional<CheckForm> form = BuiltInForm(name);
        ASSERT_TRUE(form);
        ASSERT_EQ(form->ChecksPerSheet(), 1);
        PrintFixture run;
        const QString pdf = run.dir.filePath(QStringLiteral("voucher.pdf"));
        run.printerDialog.makePrinter = [&pdf] { return MakePdfPrinter(pdf); };
        run.WriteRegister(RecordBytes(QStringLiteral("Acme"), QStringLiteral("1234.56"), QStringLiteral("Paint")));
        PrintRequest request;
        request.CheckStyle = name;
        request.AcctNo = QStringLiteral("123-456789");
        request.FirstCheckNo = 1041;
        request.ChecksOnFirstSheet = 1;
        ASSERT_EQ(PrintPendingChecks(run.platform, request).outcome, PrintOutcome::Printed);
        const QPointF corner = MakePdfPrinter(run.dir.filePath(QStringLiteral("corner.pdf")))->PaperCorner() / 20;
        const QList<PdfPage> pages = ReadPdfWords(pdf);
        ASSERT_EQ(pages.size(), 1);
        const QList<PdfWord> &words = pages.first().words;
        qsizetype described = 0;
        for (const FormItem &item : form->Areas.first().Items) {
            const QString text = item.Field == FormField::Date          ? date
                                 : item.Field == FormField::Payee       ? QStringLiteral("Acme")
                                 : item.Field == FormField::Amount      ? QStringLiteral("$1,234.56")
                                 : item.Field == FormField::Words       ? QStringLiteral("One")
                                 : item.Field == FormField::Memo        ? QStringLiteral("Paint")
                                 : item.Field == FormField::CheckNumber ? QStringLiteral("1041")
                                 : item.Field == FormField::Account     ? QStringLiteral("****6789")
                                                                        : QString();
            if (item.Field == FormField::Address) {
                continue; // empty until payees have addresses
            }
            ++described;
            const double x = item.X * 72 - corner.x();
            const double y = item.Y * 72 - corner.y();
            const bool found = std::any_of(words.cbegin(), words.cend(), [&](const PdfWord &word) {
                return word.text == text && std::abs(word.yMin - y) <= kItemTolerancePt &&
                       std::abs((item.RightAnchored ? word.xMax : word.xMin) - x) <= kItemTolerancePt;
            });
            EXPECT_TRUE(found) << qPrintable(FieldKey(item.Field)) << (item.Stub ? " on a stub" : "") << " \""
                               << qPrintable(text) << "\" at " << x << ", " << y << " pt";
        }
        // Nothing printed beyond the items: the words of the amount run on after their first one.
        const qsizetype wordsOfAmount =
            AmountToWords(*Currency::fromText(QStringLiteral("1234.56"))).split(u' ', Qt::SkipEmptyParts).size();
        EXPECT_EQ(words.size(), described + wordsOfAmount - 1);
    }
}

} // namespace
