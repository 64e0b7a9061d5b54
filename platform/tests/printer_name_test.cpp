#include "platform/ForwardingPrinter.h"
#include "platform/QtPrinter.h"
#include "platform/testing/FakePlatform.h"
#include "platform/testing/RecordingPrinter.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QApplication>
#include <QPrinter>

#include <gtest/gtest.h>

namespace {

// The printer's one name is the same whether asked directly, through the dialog that chose it, or
// through a printer that passes its calls on.
TEST(PrinterName, namesThePrinterTheDialogChose_throughEveryLayer) {
    TempFolder folder;
    PrinterLog log;
    const struct {
        const char *label;
        std::function<std::unique_ptr<Printer>()> make;
        const char *name;
    } cases[] = {
        {"a PDF file", [&folder] { return MakePdfPrinter(folder.file(S("out.pdf"))); }, "PDF"},
        {"the recording printer of the tests", [&log] { return std::make_unique<RecordingPrinter>(log); },
         "Recording Printer"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        FakePrinterDialog dialog;
        dialog.makePrinter = c.make;
        std::unique_ptr<Printer> printer = dialog.ShowPrinter();
        ASSERT_TRUE(printer);
        EXPECT_EQ(dialog.shown, 1);
        EXPECT_EQ(printer->PrinterName(), S(c.name));
        ForwardingPrinter passedOn(std::move(printer));
        EXPECT_EQ(passedOn.PrinterName(), S(c.name));
        passedOn.Abort();
    }
}

TEST(PrinterName, aNamedSystemPrinterKeepsItsName) {
    auto device = std::make_unique<QPrinter>();
    device->setOutputFormat(QPrinter::NativeFormat);
    device->setPrinterName(S("Office Printer"));
    if (device->outputFormat() != QPrinter::NativeFormat || device->printerName() != S("Office Printer")) {
        GTEST_SKIP() << "this system knows no printer of that name";
    }
    QtPrinter printer(std::move(device));
    EXPECT_EQ(printer.PrinterName(), S("Office Printer"));
}

TEST(PrinterName, aCancelledDialogGivesNoPrinter) {
    FakePrinterDialog dialog;
    dialog.cancel = true;
    EXPECT_FALSE(dialog.ShowPrinter());
    EXPECT_EQ(dialog.shown, 1);
}

// A printer queue named "PDF" (as a PDF printer driver names it) is offered once, not twice.
TEST(PrinterChoices, offersEachNameOnce_thePdfFileAfterThePrinters) {
    const struct {
        QStringList installed;
        QStringList offered;
    } rows[] = {
        {{}, {S("PDF")}},
        {{S("Laser"), S("Inkjet")}, {S("Laser"), S("Inkjet"), S("PDF")}},
        {{S("PDF"), S("Laser")}, {S("PDF"), S("Laser")}},
        {{S("Laser"), S("PDF")}, {S("Laser"), S("PDF")}},
    };
    for (const auto &row : rows) {
        FakePrinterList printers;
        printers.names = row.installed;
        EXPECT_EQ(PrinterChoices(printers), row.offered) << qPrintable(row.installed.join(u','));
    }
}

} // namespace
