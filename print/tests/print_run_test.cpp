#include "forms/BuiltInForms.h"
#include "forms/FormFile.h"
#include "print/tests/PrintTestSupport.h"

#include <QDir>
#include <QMap>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

using Kind = PrinterCall::Kind;

const QString kDate = QStringLiteral("12/07/2026");

// The run as a string: the slot of each check ("1", "2", "3", from the height of its date on a
// 3-on-a-page sheet), "|" for a new sheet, "E" for the end of the job, "A" for an abandoned job.
QString sheetSequence(const PrinterLog &log) {
    QStringList parts;
    for (const PrinterCall &call : log.calls) {
        if (call.kind == Kind::Text && call.text == kDate) {
            parts.append(QString::number(qRound(call.y / 1440.0 / 3.5) + 1));
        } else if (call.kind == Kind::NewPage) {
            parts.append(QStringLiteral("|"));
        } else if (call.kind == Kind::EndDoc) {
            parts.append(QStringLiteral("E"));
        } else if (call.kind == Kind::Abort) {
            parts.append(QStringLiteral("A"));
        }
    }
    return parts.join(u' ');
}

QStringList payeesPrinted(const PrinterLog &log) {
    QStringList payees;
    for (const PrinterCall &call : log.Texts()) {
        if (call.text.startsWith(QStringLiteral("Payee "))) {
            payees.append(call.text.trimmed());
        }
    }
    return payees;
}

struct SheetCase {
    int checksOnFirstSheet;
    int pending;
    const char *sequence;
};

const SheetCase kSheetCases[] = {
    {2, 5, "1 2 | 1 2 3 E"},
    {3, 3, "1 2 3 E"},
    {1, 1, "1 E"},
    {2, 2, "1 2 E"},
    {3, 4, "1 2 3 | 1 E"},
    {3, 6, "1 2 3 | 1 2 3 E"},
    {1, 8, "1 | 1 2 3 | 1 2 3 | 1 E"},
    // A count outside 1 to 3 is taken as the nearest of them, never as a slot past the sheet.
    {0, 2, "1 | 1 E"},
    {7, 4, "1 2 3 | 1 E"},
};

class PrintRunSheets : public ::testing::TestWithParam<SheetCase> {};

TEST_P(PrintRunSheets, fillsTheFirstSheetFromTheTopThenWholeSheets) {
    const SheetCase &c = GetParam();
    PrintFixture f;
    f.WriteChecks(c.pending);
    const PrintResult result = f.Run(QStringLiteral("Deluxe 3-On-A-Page"), c.checksOnFirstSheet);
    EXPECT_EQ(result.outcome, PrintOutcome::Printed);
    EXPECT_EQ(result.printed, c.pending);
    EXPECT_EQ(sheetSequence(f.log), QString::fromLatin1(c.sequence));
    EXPECT_TRUE(f.messages.shown.isEmpty());
    EXPECT_EQ(f.printerDialog.shown, 1);
}

INSTANTIATE_TEST_SUITE_P(FirstSheetAndPending, PrintRunSheets, ::testing::ValuesIn(kSheetCases),
                         [](const ::testing::TestParamInfo<SheetCase> &param) {
                             return std::to_string(param.param.checksOnFirstSheet) + "left_" +
                                    std::to_string(param.param.pending) + "pending";
                         });

// The form the style names sets the checks per sheet: a one-per-sheet voucher puts every check on a
// sheet of its own whatever the first sheet claims, each with its check number on both stubs.
TEST(PrintRun, aOnePerSheetForm_printsEachCheckOnItsOwnSheet) {
    PrintFixture f;
    f.WriteChecks(3);
    PrintRequest request;
    request.CheckStyle = QStringLiteral("Voucher, Check in Middle");
    request.AcctNo = QStringLiteral("123-456789");
    request.FirstCheckNo = 1041;
    request.ChecksOnFirstSheet = 3;
    const PrintResult result = PrintPendingChecks(f.platform, request);
    EXPECT_EQ(result.outcome, PrintOutcome::Printed);
    EXPECT_EQ(result.printed, 3);
    EXPECT_EQ(f.log.Count(Kind::NewPage), 2);
    QStringList numbers;
    for (const PrinterCall &call : f.log.Texts()) {
        if (call.text.startsWith(QStringLiteral("104")) || call.text.startsWith(QStringLiteral("****"))) {
            numbers.append(call.text);
        }
    }
    const QString n1 = QStringLiteral("1041"), n2 = QStringLiteral("1042"), n3 = QStringLiteral("1043");
    const QString acct = QStringLiteral("****6789");
    EXPECT_EQ(numbers, QStringList({n1, acct, n1, acct, n2, acct, n2, acct, n3, acct, n3, acct}));
}

// A style that names no form, built-in or the person's, is refused before the printer dialog, with a
// message naming the style and where to pick a form; a person's form of that name prints.
TEST(PrintRun, aStyleNamingNoForm_isRefusedBeforeAnythingPrints) {
    for (const char *style : {"Deluxe 4-On-A-Page", "", "Shop Voucher"}) {
        SCOPED_TRACE(style);
        PrintFixture f;
        f.WriteChecks(2);
        PrintRequest request;
        request.CheckStyle = QString::fromLatin1(style);
        request.FormsFolder = FormsFolder(f.dir.path());
        const PrintResult result = PrintPendingChecks(f.platform, request);
        EXPECT_EQ(result.outcome, PrintOutcome::UnknownForm);
        EXPECT_EQ(result.printed, 0);
        EXPECT_EQ(f.printerDialog.shown, 0);
        EXPECT_TRUE(f.log.calls.isEmpty());
        ASSERT_EQ(f.messages.shown.size(), 1);
        const QString text = f.messages.shown.first().text;
        EXPECT_TRUE(text.contains(QStringLiteral("\"%1\"").arg(request.CheckStyle))) << qPrintable(text);
        EXPECT_TRUE(text.contains(QStringLiteral("checkbook setup"))) << qPrintable(text);
        EXPECT_EQ(f.ReadRegister().size(), 2 * 115);
    }
    PrintFixture f;
    f.WriteChecks(2);
    CheckForm shop = *BuiltInForm(QStringLiteral("Voucher, Check on Top"));
    shop.Name = QStringLiteral("Shop Voucher");
    shop.BuiltIn = false;
    ASSERT_TRUE(SaveForm(FormsFolder(f.dir.path()), shop));
    PrintRequest request;
    request.CheckStyle = shop.Name;
    request.FormsFolder = FormsFolder(f.dir.path());
    EXPECT_EQ(PrintPendingChecks(f.platform, request).outcome, PrintOutcome::Printed);
    EXPECT_EQ(f.log.Count(Kind::NewPage), 1);
}

TEST(PrintRun, printsEveryRecordInRecordOrder_withTheRunsDateAndSetup) {
    PrintFixture f;
    f.WriteChecks(11);
    const QByteArray before = f.ReadRegister();
    const PrintResult result = f.Run();
    EXPECT_EQ(result.outcome, PrintOutcome::Printed);
    EXPECT_EQ(result.printed, 11);
    QStringList expected;
    for (int i = 1; i <= 11; ++i) {
        expected.append(QStringLiteral("Payee %1").arg(i));
    }
    EXPECT_EQ(payeesPrinted(f.log), expected);
    // The printer is set up before the first text.
    ASSERT_GE(f.log.calls.size(), 4);
    EXPECT_EQ(f.log.calls[0].kind, Kind::Orientation);
    EXPECT_EQ(f.log.calls[0].value, 1);
    EXPECT_EQ(f.log.calls[1].text, QStringLiteral("Ariel"));
    EXPECT_EQ(f.log.Texts().first().text, kDate);
    // The run leaves the register to its caller.
    EXPECT_EQ(f.ReadRegister(), before);
}

TEST(PrintRun, theLargestAmountAndPaddedAmountsPrint) {
    PrintFixture f;
    f.WriteRegister(RecordBytes(QStringLiteral("Big"), QStringLiteral("999999999.99"), QString()) +
                    RecordBytes(QStringLiteral("Small"), QStringLiteral("0012.5"), QString()));
    const PrintResult result = f.Run();
    EXPECT_EQ(result.outcome, PrintOutcome::Printed);
    EXPECT_EQ(result.printed, 2);
    EXPECT_TRUE(f.messages.shown.isEmpty());
}

TEST(PrintRun, datesComeFromTheClock_figuresFromTheLocale) {
    PrintFixture f;
    f.clock.today = QDate(2027, 3, 4);
    f.WriteRegister(RecordBytes(QStringLiteral("Gas Company"), QStringLiteral("1234.5"), QStringLiteral("March")));
    ASSERT_EQ(f.Run().outcome, PrintOutcome::Printed);
    const QList<PrinterCall> texts = f.log.Texts();
    ASSERT_GE(texts.size(), 3);
    EXPECT_EQ(texts[0].text, QStringLiteral("03/04/2027"));
    EXPECT_EQ(texts[2].text, QStringLiteral("$1,234.50"));
}

TEST(PrintRun, registerOnlyInBackup_isRestoredAndPrinted) {
    PrintFixture f;
    ASSERT_TRUE(QDir(f.dir.path()).mkdir(QStringLiteral("Backup")));
    f.WriteFile(f.dir.filePath(QStringLiteral("Backup/TempRegister.txt")),
                RecordBytes(QStringLiteral("Payee 1"), QStringLiteral("5"), QString()));
    const PrintResult result = f.Run();
    EXPECT_EQ(result.outcome, PrintOutcome::Printed);
    EXPECT_EQ(result.printed, 1);
}

TEST(PrintRun, cancelledDialog_printsNothingAndSaysNothing) {
    PrintFixture f;
    f.WriteChecks(2);
    f.printerDialog.cancel = true;
    const PrintResult result = f.Run();
    EXPECT_EQ(result.outcome, PrintOutcome::Cancelled);
    EXPECT_EQ(result.printed, 0);
    EXPECT_EQ(f.printerDialog.shown, 1);
    EXPECT_TRUE(f.messages.shown.isEmpty());
    EXPECT_TRUE(f.log.calls.isEmpty());
}

TEST(PrintRun, missingOrEmptyRegister_startsNoJob) {
    for (const bool empty : {false, true}) {
        PrintFixture f;
        if (empty) {
            f.WriteRegister(QByteArray());
        }
        const PrintResult result = f.Run();
        EXPECT_EQ(result.outcome, PrintOutcome::NothingToPrint) << empty;
        EXPECT_EQ(result.printed, 0);
        EXPECT_EQ(f.printerDialog.shown, 0);
        EXPECT_TRUE(f.messages.shown.isEmpty());
        EXPECT_TRUE(f.log.calls.isEmpty());
    }
}

struct DamageCase {
    const char *name;
    int record;       // the record the message must name
    const char *says; // what the message must say is wrong
    QByteArray (*bytes)();
};

QByteArray threeGood() {
    return RecordBytes(QStringLiteral("A"), QStringLiteral("1"), QString()) +
           RecordBytes(QStringLiteral("B"), QStringLiteral("2.50"), QString()) +
           RecordBytes(QStringLiteral("C"), QStringLiteral(".75"), QString());
}

// Three good records with the amount of record `n` (1 to 3) replaced.
template <int n> QByteArray withAmount(const char *amount) {
    return threeGood().left((n - 1) * 115) + RecordBytes(QStringLiteral("X"), QString::fromLatin1(amount), QString()) +
           threeGood().mid(n * 115);
}

const DamageCase kDamageCases[] = {
    {"lengthNotWholeRecords", 2, "cut short", [] { return threeGood().left(200); }},
    {"oneToOneHundredFourteenBytes", 1, "cut short", [] { return threeGood().left(60); }},
    {"nulInARecord", 2, "NUL bytes",
     [] {
         QByteArray bytes = threeGood();
         bytes[115 + 40] = '\0';
         return bytes;
     }},
    {"amountWithTwoPoints", 3, "which is not a number", [] { return withAmount<3>("1.2.3"); }},
    {"blankAmount", 1, "which is not a number", [] { return withAmount<1>(""); }},
    {"amountWithLetters", 2, "which is not a number", [] { return withAmount<2>("12abc"); }},
    {"amountWithALeadingBlank", 2, "which is not a number", [] { return withAmount<2>(" 5"); }},
    {"negativeAmount", 2, "\"-5.00\", which is negative", [] { return withAmount<2>("-5.00"); }},
    {"amountAboveTheLargest", 3, "\"99999999999.99\", which is too large",
     [] { return withAmount<3>("99999999999.99"); }},
    {"amountJustAboveTheLargest", 1, "which is too large", [] { return withAmount<1>("1000000000"); }},
    {"amountPastTheCurrencyRange", 1, "which is too large", [] { return withAmount<1>("999999999999999"); }},
    {"amountWithThreeDecimals", 2, "\"12.345\", which has more than two decimals",
     [] { return withAmount<2>("12.345"); }},
};

class PrintRunDamaged : public ::testing::TestWithParam<DamageCase> {};

TEST_P(PrintRunDamaged, namesTheRecord_printsNothing_keepsTheRegister) {
    const DamageCase &c = GetParam();
    PrintFixture f;
    const QByteArray bytes = c.bytes();
    f.WriteRegister(bytes);
    const PrintResult result = f.Run();
    EXPECT_EQ(result.outcome, PrintOutcome::Damaged);
    EXPECT_EQ(result.printed, 0);
    EXPECT_EQ(f.printerDialog.shown, 0);
    EXPECT_TRUE(f.log.calls.isEmpty());
    ASSERT_EQ(f.messages.shown.size(), 1);
    const ShownMessage &message = f.messages.shown.first();
    EXPECT_EQ(message.buttons, MsgButtons::OK);
    EXPECT_EQ(message.title, QStringLiteral("Checks Not Printed"));
    EXPECT_TRUE(message.text.contains(QStringLiteral("check number %1 ").arg(c.record))) << qPrintable(message.text);
    EXPECT_TRUE(message.text.contains(QString::fromLatin1(c.says))) << qPrintable(message.text);
    EXPECT_TRUE(message.text.contains(QDir::toNativeSeparators(f.RegisterPath()))) << qPrintable(message.text);
    EXPECT_TRUE(message.text.contains(QStringLiteral("the pending checks are kept"))) << qPrintable(message.text);
    EXPECT_EQ(f.ReadRegister(), bytes);
}

INSTANTIATE_TEST_SUITE_P(Registers, PrintRunDamaged, ::testing::ValuesIn(kDamageCases),
                         [](const ::testing::TestParamInfo<DamageCase> &param) {
                             return std::string(param.param.name);
                         });

// Which Print/NewPage/EndDoc call (1-based) a successful run of the same checks makes when `at` is
// true of it, so that a failing run can fail exactly there.
int outputCallWhere(const PrinterLog &log, const std::function<bool(const PrinterCall &)> &at) {
    int number = 0;
    for (const PrinterCall &call : log.calls) {
        if (call.kind == Kind::Text || call.kind == Kind::NewPage || call.kind == Kind::EndDoc) {
            ++number;
            if (at(call)) {
                return number;
            }
        }
    }
    return 0;
}

struct ErrorCase {
    const char *name;
    std::function<bool(const PrinterCall &)> failAt;
    int failTimes;
    MsgResult answer;
    const char *sequence; // as sheetSequence gives it
    int printed;
};

const ErrorCase kErrorCases[] = {
    {"midCheck_yes_sendsTheWholeChecks", [](const PrinterCall &c) { return c.text.startsWith(u"Memo 3"); }, 1,
     MsgResult::Yes, "1 2 | 1 E", 2},
    {"midCheck_no_abandonsTheJob", [](const PrinterCall &c) { return c.text.startsWith(u"Memo 3"); }, 1, MsgResult::No,
     "1 2 | 1 A", 0},
    {"newPage_yes", [](const PrinterCall &c) { return c.kind == Kind::NewPage; }, 1, MsgResult::Yes, "1 2 E", 2},
    {"firstText_yes", [](const PrinterCall &c) { return c.kind == Kind::Text; }, 1, MsgResult::Yes, "E", 0},
    {"endDoc_yes_secondEndDocSends", [](const PrinterCall &c) { return c.kind == Kind::EndDoc; }, 1, MsgResult::Yes,
     "1 2 | 1 2 3 E", 5},
    {"endDoc_yes_secondEndDocFails_abandons", [](const PrinterCall &c) { return c.kind == Kind::EndDoc; }, 2,
     MsgResult::Yes, "1 2 | 1 2 3 A", 0},
    {"endDoc_no", [](const PrinterCall &c) { return c.kind == Kind::EndDoc; }, 1, MsgResult::No, "1 2 | 1 2 3 A", 0},
};

class PrintRunErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(PrintRunErrors, asksBothQuestions_andCountsWhatReachedTheForms) {
    const ErrorCase &c = GetParam();
    int failAt = 0;
    {
        PrintFixture clean;
        clean.WriteChecks(5);
        ASSERT_EQ(clean.Run(QStringLiteral("Deluxe 3-On-A-Page"), 2).outcome, PrintOutcome::Printed);
        failAt = outputCallWhere(clean.log, c.failAt);
        ASSERT_GT(failAt, 0);
    }
    PrintFixture f;
    f.WriteChecks(5);
    f.configure = [&](RecordingPrinter &printer) {
        printer.failAtCall = failAt;
        printer.failTimes = c.failTimes;
    };
    f.messages.setNextAnswers({MsgResult::OK, c.answer});
    const PrintResult result = f.Run(QStringLiteral("Deluxe 3-On-A-Page"), 2);

    EXPECT_EQ(result.outcome, PrintOutcome::Failed);
    EXPECT_EQ(result.printed, c.printed);
    EXPECT_EQ(result.error, QStringLiteral("The printer is out of paper."));
    EXPECT_EQ(sheetSequence(f.log), QString::fromLatin1(c.sequence));
    ASSERT_EQ(f.messages.shown.size(), 2);
    EXPECT_EQ(f.messages.shown[0].text, QStringLiteral("An Error has occurred while Printing"));
    EXPECT_EQ(f.messages.shown[0].title, QStringLiteral("Print Error"));
    EXPECT_EQ(f.messages.shown[0].buttons, MsgButtons::OK);
    EXPECT_EQ(f.messages.shown[1].text, QStringLiteral("Does a Form need to be Ejected From The Printer?"));
    EXPECT_EQ(f.messages.shown[1].title, QStringLiteral("Form in Printer"));
    EXPECT_EQ(f.messages.shown[1].buttons, MsgButtons::YesNo);
    // After the error only the end or the abandoning of the job.
    const bool sent = QString::fromLatin1(c.sequence).endsWith(u'E');
    EXPECT_EQ(f.log.calls.last().kind, sent ? Kind::EndDoc : Kind::Abort);
    const qsizetype output = f.log.Count(Kind::Text) + f.log.Count(Kind::NewPage) + f.log.Count(Kind::EndDoc);
    EXPECT_EQ(output, failAt - 1 + (sent ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(Failures, PrintRunErrors, ::testing::ValuesIn(kErrorCases),
                         [](const ::testing::TestParamInfo<ErrorCase> &param) {
                             return std::string(param.param.name);
                         });

TEST(PrintRun, walletSizeRun_printsStubsOnEverySheet) {
    PrintFixture f;
    f.WriteChecks(4);
    const PrintResult result = f.Run(QStringLiteral("Deluxe Wallet-Size"), 3);
    EXPECT_EQ(result.outcome, PrintOutcome::Printed);
    int accounts = 0;
    for (const PrinterCall &call : f.log.Texts()) {
        accounts += call.text == QStringLiteral("123-456789") ? 1 : 0;
    }
    EXPECT_EQ(accounts, 4);
    EXPECT_EQ(f.log.Count(Kind::NewPage), 1);
    EXPECT_EQ(f.log.Count(Kind::EndDoc), 1);
}

} // namespace

namespace {

TEST(PrintRunProgress, showsChecksDrawnThenSheetsSent_andClosesAtTheEnd) {
    PrintFixture f;
    f.WriteChecks(5);
    const PrintResult result = f.Run(QStringLiteral("Deluxe 3-On-A-Page"), 2);
    ASSERT_EQ(result.outcome, PrintOutcome::Printed);
    ASSERT_EQ(f.progress.stages.size(), 2);
    const FakeProgress::Stage &drawing = f.progress.stages[0];
    EXPECT_EQ(drawing.total, 5);
    EXPECT_TRUE(drawing.cancellable);
    EXPECT_EQ(drawing.steps, QList<int>({1, 2, 3, 4, 5}));
    const FakeProgress::Stage &sending = f.progress.stages[1];
    EXPECT_EQ(sending.total, 2);
    EXPECT_FALSE(sending.cancellable);
    EXPECT_EQ(sending.steps, QList<int>({1, 2}));
    EXPECT_FALSE(f.progress.open);
}

class PrintRunCancel : public ::testing::TestWithParam<int> {};

TEST_P(PrintRunCancel, cancelEndsTheRunWithNothingPrintedAndNothingSaid) {
    PrintFixture f;
    f.WriteChecks(7);
    const QByteArray before = f.ReadRegister();
    f.progress.cancelAt = GetParam();
    const PrintResult result = f.Run(QStringLiteral("Deluxe 3-On-A-Page"), 2);
    EXPECT_EQ(result.outcome, PrintOutcome::Cancelled);
    EXPECT_EQ(result.printed, 0);
    EXPECT_TRUE(f.messages.shown.isEmpty());
    EXPECT_TRUE(f.log.delivered.isEmpty());
    EXPECT_EQ(f.log.Count(Kind::EndDoc), 0);
    ASSERT_FALSE(f.log.calls.isEmpty());
    EXPECT_EQ(f.log.calls.last().kind, Kind::Abort);
    EXPECT_EQ(payeesPrinted(f.log).size(), GetParam()) << "drawing stops at the step that was cancelled";
    EXPECT_FALSE(f.progress.open);
    EXPECT_EQ(f.ReadRegister(), before);
}

INSTANTIATE_TEST_SUITE_P(AtCheck, PrintRunCancel, ::testing::Values(1, 2, 3, 6, 7));

TEST(PrintRunProgress, isClosedBeforeTheErrorQuestions) {
    PrintFixture f;
    f.WriteChecks(4);
    f.configure = [](RecordingPrinter &printer) { printer.failAtCall = 3; };
    QList<bool> openDuringBoxes;
    f.messages.onShow = [&](const ShownMessage &) { openDuringBoxes.append(f.progress.open); };
    f.messages.setNextAnswers({MsgResult::OK, MsgResult::No});
    EXPECT_EQ(f.Run().outcome, PrintOutcome::Failed);
    EXPECT_EQ(openDuringBoxes, QList<bool>({false, false}));
}

// How a device takes a job: whole at the end, or sheet by sheet; and whether the call that fails
// has sent its sheet(s) all the same.
struct Device {
    const char *name;
    bool eachSheet;
    bool failedCallDelivers;
};

const Device kDevices[] = {
    {"wholeJob", false, false},
    {"wholeJobSentThenFailed", false, true},
    {"sheetBySheet", true, false},
    {"sheetBySheetSentThenFailed", true, true},
};

// Checks drawn on each sheet in a log, by the date each check carries.
QMap<int, int> checksPerSheet(const PrinterLog &log) {
    QMap<int, int> counts;
    for (const PrinterCall &call : log.Texts()) {
        counts[call.sheet] += call.text == kDate ? 1 : 0;
    }
    return counts;
}

// Every page break and the end of a 7-check run, failing once, on every kind of device, answered
// Yes and No: no sheet goes out twice, and the run never counts fewer checks than went out.
TEST(PrintRunPageBreaks, aFailureNeverSendsASheetTwiceNorUndercounts) {
    for (int firstSheet = 1; firstSheet <= 3; ++firstSheet) {
        PrintFixture clean;
        clean.WriteChecks(7);
        ASSERT_EQ(clean.Run(QStringLiteral("Deluxe 3-On-A-Page"), firstSheet).outcome, PrintOutcome::Printed);
        const QMap<int, int> perSheet = checksPerSheet(clean.log);
        QList<int> breaks;
        int call = 0;
        for (const PrinterCall &c : clean.log.calls) {
            if (c.kind == Kind::Text || c.kind == Kind::NewPage || c.kind == Kind::EndDoc) {
                ++call;
                if (c.kind != Kind::Text) {
                    breaks.append(call);
                }
            }
        }
        ASSERT_EQ(breaks.size(), perSheet.size()) << "a page break between sheets and the end";
        for (const Device &device : kDevices) {
            for (const int failAt : breaks) {
                for (const MsgResult answer : {MsgResult::Yes, MsgResult::No}) {
                    SCOPED_TRACE(::testing::Message()
                                 << firstSheet << " on the first sheet, " << device.name << ", failing at call "
                                 << failAt << ", answer " << (answer == MsgResult::Yes ? "Yes" : "No"));
                    PrintFixture f;
                    f.WriteChecks(7);
                    f.configure = [&](RecordingPrinter &printer) {
                        printer.failAtCall = failAt;
                        printer.deliversEachSheet = device.eachSheet;
                        printer.failedCallDelivers = device.failedCallDelivers;
                    };
                    f.messages.setNextAnswers({MsgResult::OK, answer});
                    const PrintResult result = f.Run(QStringLiteral("Deluxe 3-On-A-Page"), firstSheet);
                    EXPECT_EQ(result.outcome, PrintOutcome::Failed);
                    ASSERT_EQ(f.messages.shown.size(), 2);

                    QList<int> sorted = f.log.delivered;
                    std::sort(sorted.begin(), sorted.end());
                    EXPECT_EQ(std::adjacent_find(sorted.cbegin(), sorted.cend()), sorted.cend())
                        << "a sheet went out twice";
                    int reached = 0;
                    for (const int sheet : f.log.delivered) {
                        reached += checksPerSheet(f.log).value(sheet);
                    }
                    // Exactly what went out: fewer would print those checks again, more would lose them.
                    EXPECT_EQ(result.printed, reached);
                }
            }
        }
    }
}

} // namespace
