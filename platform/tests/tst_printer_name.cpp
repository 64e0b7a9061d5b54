#include "platform/PrinterName.h"
#include "platform/QtPrinter.h"
#include "platform/testing/FakePlatform.h"
#include "platform/testing/RecordingPrinter.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QApplication>
#include <QPrinter>

#include <gtest/gtest.h>

namespace {

TEST(PrinterName, namesThePrinterTheDialogChose) {
    TempFolder folder;
    PrinterLog log;
    const struct {
        const char *label;
        std::function<std::unique_ptr<Printer>()> make;
        const char *name;
    } cases[] = {
        {"a PDF file", [&folder] { return MakePdfPrinter(folder.file(S("out.pdf"))); }, "PDF"},
        {"a printer that is not a real one", [&log] { return std::make_unique<RecordingPrinter>(log); }, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        FakePrinterDialog inner;
        inner.makePrinter = c.make;
        NamingPrinterDialog naming(inner);
        const std::unique_ptr<Printer> printer = naming.ShowPrinter();
        ASSERT_TRUE(printer);
        EXPECT_EQ(inner.shown, 1);
        EXPECT_EQ(naming.name, S(c.name));
        EXPECT_EQ(PrinterName(*printer), S(c.name));
        printer->Abort();
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
    EXPECT_EQ(PrinterName(printer), S("Office Printer"));
}

TEST(PrinterName, aCancelledDialogNamesNothing) {
    FakePrinterDialog inner;
    inner.cancel = true;
    NamingPrinterDialog naming(inner);
    naming.name = S("left from before");
    EXPECT_FALSE(naming.ShowPrinter());
    EXPECT_TRUE(naming.name.isEmpty());
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
