// The real print preview, the painter printer and the line drawing of the real printer.
#include "platform/PainterPrinter.h"
#include "platform/PrintPreview.h"
#include "platform/QtPrinter.h"
#include "platform/testing/FakePlatform.h"
#include "platform/testing/RecordingPrinter.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"
#include "platform/testing/WhenUp.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Runs `inside` on the preview dialog once it is up and has drawn.
void whilePreviewIsUp(const std::function<void(QDialog &)> &inside) {
    WhenUp<QDialog>([inside](QDialog &dialog) {
        if (dialog.objectName() != QStringLiteral("dlgPrintPreview")) {
            ADD_FAILURE() << "no preview dialog";
            dialog.reject();
            return;
        }
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        inside(dialog);
    });
}

struct PreviewRun {
    int draws = 0;
    QString printerName; // as the drawing printer reports it
    QString chosenName;  // as the preview names it to the drawing
    PrintPreview::Job job() {
        PrintPreview::Job job;
        job.describe = [](const QString &name) { return QStringLiteral("Printer: ") + name; };
        job.draw = [this](Printer &printer, const QString &name) {
            ++draws;
            printerName = printer.PrinterName();
            chosenName = name;
            printer.SetCurrentX(1440);
            printer.SetCurrentY(1440);
            printer.Print(QStringLiteral("First sheet"), true);
            printer.DrawLine(0, 0, 1440, 1440, Printer::Pen::Faint);
            printer.NewPage();
            printer.Print(QStringLiteral("Second sheet"), true);
            printer.EndDoc();
        };
        return job;
    }
};

QString printerLine(QDialog &dialog) {
    return dialog.findChild<QLabel *>(QStringLiteral("lblPrinter"))->text();
}

TEST(QtPrintPreview, showsEverySheetTheDrawingPrints_andClosesWithEscapeOrClose) {
    const std::function<void(QDialog &)> closers[] = {
        [](QDialog &dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
        [](QDialog &dialog) { QTest::keyClick(&dialog, Qt::Key_C, Qt::AltModifier); },
        [](QDialog &dialog) { dialog.findChild<QPushButton *>(QStringLiteral("cmdClose"))->click(); },
        [](QDialog &dialog) { dialog.close(); },
    };
    for (const auto &close : closers) {
        PreviewRun run;
        int pages = 0;
        QString title;
        QString line;
        whilePreviewIsUp([&](QDialog &dialog) {
            auto *view = dialog.findChild<QPrintPreviewWidget *>(QStringLiteral("pvwSheets"));
            ASSERT_NE(view, nullptr);
            pages = view->pageCount();
            title = dialog.windowTitle();
            line = printerLine(dialog);
            close(dialog);
        });
        QtPrintPreview preview;
        FakePrinterDialog chooser;
        EXPECT_EQ(preview.ShowPreview(QStringLiteral("Print Preview"), kPdfPrinterName, chooser, run.job()), nullptr);
        EXPECT_GE(run.draws, 1);
        EXPECT_EQ(pages, 2);
        EXPECT_EQ(title, QStringLiteral("Print Preview"));
        EXPECT_EQ(line, QStringLiteral("Printer: PDF"));
        EXPECT_EQ(run.printerName, kPdfPrinterName);
        EXPECT_EQ(run.chosenName, kPdfPrinterName);
        EXPECT_EQ(chooser.shown, 0);
    }
}

// Choose Printer opens the printer dialog; the chosen printer is named, drawn for, and printed on.
TEST(QtPrintPreview, chooseprinterRedrawsForTheChosenPrinter_andPrintChecksGivesIt) {
    const std::function<void(QDialog &)> choosers[] = {
        [](QDialog &dialog) { QTest::keyClick(&dialog, Qt::Key_H, Qt::AltModifier); },
        [](QDialog &dialog) {
            QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdChoosePrinter")), Qt::LeftButton);
        },
    };
    for (const auto &choose : choosers) {
        PreviewRun run;
        PrinterLog log;
        FakePrinterDialog chooser;
        chooser.makePrinter = [&log] {
            auto printer = std::make_unique<RecordingPrinter>(log);
            printer->printerName = QStringLiteral("Laser");
            return printer;
        };
        QString before;
        QString after;
        int drawsBefore = 0;
        whilePreviewIsUp([&](QDialog &dialog) {
            before = printerLine(dialog);
            drawsBefore = run.draws;
            choose(dialog);
            // An access key presses the button visibly; the click comes a moment later.
            EXPECT_TRUE(QTest::qWaitFor([&] { return chooser.shown == 1; }, 5000));
            after = printerLine(dialog);
            // The view draws again when it is next painted.
            EXPECT_TRUE(QTest::qWaitFor([&] { return run.chosenName == QStringLiteral("Laser"); }, 5000));
            QTest::keyClick(&dialog, Qt::Key_P, Qt::AltModifier);
        });
        QtPrintPreview preview;
        const std::unique_ptr<Printer> printer =
            preview.ShowPreview(QStringLiteral("Print Preview"), kPdfPrinterName, chooser, run.job());
        EXPECT_EQ(chooser.shown, 1);
        EXPECT_EQ(before, QStringLiteral("Printer: PDF"));
        EXPECT_EQ(after, QStringLiteral("Printer: Laser"));
        EXPECT_GT(run.draws, drawsBefore);
        EXPECT_EQ(run.chosenName, QStringLiteral("Laser"));
        ASSERT_TRUE(printer);
        EXPECT_EQ(printer->PrinterName(), QStringLiteral("Laser"));
        // The preview drew on its own printer: nothing reached the chosen one.
        EXPECT_TRUE(log.calls.isEmpty());
    }
}

// A PDF file needs its name from the dialog before anything prints: Print Checks asks for it, and
// prints when the person chose a PDF file; a cancelled dialog leaves the preview up, and another
// printer chosen there is shown before it prints.
TEST(QtPrintPreview, printChecksOnAPdfFileAsksTheDialogFirst) {
    TempFolder folder;
    const struct {
        const char *label;
        bool cancel;
        const char *chosen; // the printer the dialog hands out
        bool printsAtOnce;
    } rows[] = {
        {"PDF chosen", false, "PDF", true},
        {"dialog cancelled", true, "", false},
        {"another printer chosen", false, "Laser", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        PreviewRun run;
        PrinterLog log;
        FakePrinterDialog chooser;
        chooser.cancel = row.cancel;
        chooser.makePrinter = [&]() -> std::unique_ptr<Printer> {
            if (QString::fromLatin1(row.chosen) == kPdfPrinterName) {
                return MakePdfPrinter(folder.file(S("checks.pdf")));
            }
            auto printer = std::make_unique<RecordingPrinter>(log);
            printer->printerName = QString::fromLatin1(row.chosen);
            return printer;
        };
        bool stillUp = false;
        QString line;
        whilePreviewIsUp([&](QDialog &dialog) {
            dialog.findChild<QPushButton *>(QStringLiteral("cmdPrint"))->click();
            stillUp = dialog.isVisible();
            line = printerLine(dialog);
            if (stillUp) {
                dialog.reject();
            }
        });
        QtPrintPreview preview;
        const std::unique_ptr<Printer> printer =
            preview.ShowPreview(QStringLiteral("Print Preview"), kPdfPrinterName, chooser, run.job());
        EXPECT_EQ(chooser.shown, 1);
        EXPECT_EQ(stillUp, !row.printsAtOnce);
        EXPECT_EQ(bool(printer), row.printsAtOnce);
        if (!row.cancel) {
            EXPECT_EQ(line, QStringLiteral("Printer: ") + QString::fromLatin1(row.chosen));
        }
        if (printer) {
            EXPECT_EQ(printer->PrinterName(), kPdfPrinterName);
            printer->Abort();
        }
    }
}

TEST(QtPrintPreview, zoomButtonsChangeTheScale) {
    PreviewRun run;
    double fitted = 0, zoomed = 0, actual = 0;
    whilePreviewIsUp([&](QDialog &dialog) {
        auto *view = dialog.findChild<QPrintPreviewWidget *>(QStringLiteral("pvwSheets"));
        fitted = view->zoomFactor();
        dialog.findChild<QPushButton *>(QStringLiteral("cmdZoomIn"))->click();
        zoomed = view->zoomFactor();
        dialog.findChild<QPushButton *>(QStringLiteral("cmdActualSize"))->click();
        actual = view->zoomFactor();
        dialog.reject();
    });
    QtPrintPreview preview;
    FakePrinterDialog chooser;
    preview.ShowPreview(QStringLiteral("Print Preview"), kPdfPrinterName, chooser, run.job());
    EXPECT_GT(zoomed, fitted);
    EXPECT_DOUBLE_EQ(actual, 1.0);
}

// The paper's corner lies outside the printable area by the page margins; a text printed without
// ending its line moves the position by its width, also when the position is read after a font change.
TEST(QtPrinter, paperCornerIsTheMargins_andPositionFollowsWhatWasPrinted) {
    QTemporaryDir dir;
    std::unique_ptr<Printer> printer = MakePdfPrinter(dir.filePath(QStringLiteral("corner.pdf")));
    auto &qt = dynamic_cast<QtPrinter &>(*printer);
    const QPointF margins = qt.device().pageLayout().paintRect(QPageLayout::Point).topLeft();
    EXPECT_GT(margins.x(), 0);
    EXPECT_EQ(printer->PaperCorner(), -margins * 20);
    printer->SetFontName(QStringLiteral("Ariel"));
    printer->SetFontSize(10);
    const double width = printer->TextWidth(QStringLiteral("Payee"));
    printer->SetCurrentX(1000);
    ASSERT_TRUE(printer->Print(QStringLiteral("Payee"), false));
    printer->SetFontSize(20);
    EXPECT_DOUBLE_EQ(printer->CurrentX(), 1000 + width);
    const double larger = printer->TextWidth(QStringLiteral("Payee"));
    EXPECT_GT(larger, 1.9 * width);
    ASSERT_TRUE(printer->Print(QStringLiteral("Payee"), false));
    ASSERT_TRUE(printer->Print(QString(), false));
    EXPECT_DOUBLE_EQ(printer->CurrentX(), 1000 + width + larger);
    printer->Abort();
    EXPECT_EQ(printer->CurrentX(), 0);
}

TEST(QtPrinter, pdfPrinterIsNamedPdf_andDrawsLines) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("lines.pdf"));
    std::unique_ptr<Printer> printer = MakePdfPrinter(pdf);
    EXPECT_EQ(printer->PrinterName(), kPdfPrinterName);
    // A solid line across the sheet one inch down, and a faint one two inches down.
    ASSERT_TRUE(printer->DrawLine(0, 1440, 7 * 1440, 1440, Printer::Pen::Solid));
    ASSERT_TRUE(printer->DrawLine(0, 2880, 7 * 1440, 2880, Printer::Pen::Faint));
    ASSERT_TRUE(printer->EndDoc());

    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                  pdf, dir.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(render.waitForFinished(60000));
    const QImage page(dir.filePath(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull());
    auto &qt = dynamic_cast<QtPrinter &>(*printer);
    const QPointF margin = qt.device().pageLayout().paintRect(QPageLayout::Point).topLeft();
    const auto darkest = [&](double yPoints) {
        int dark = 255;
        for (int y = qFloor(yPoints) - 1; y <= qCeil(yPoints) + 1; ++y) {
            dark = std::min(dark, qGray(page.pixel(qRound(margin.x()) + 200, y)));
        }
        return dark;
    };
    EXPECT_LT(darkest(margin.y() + 72), 128);
    const int faint = darkest(margin.y() + 144);
    EXPECT_GT(faint, 128);
    EXPECT_LT(faint, 250);
    EXPECT_GT(darkest(margin.y() + 108), 250);
}

TEST(PainterPrinter, drawsTextAndLinesScaled_measuringAsThePrinterDoes) {
    QImage image(400, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    PrinterLog log;
    RecordingPrinter recording(log);
    {
        QPainter painter(&image);
        // A tenth of a pixel per twip (144 pixels to the inch), twip (0, 0) at pixel (20, 10).
        PainterPrinter printer(painter, 0.1, QPointF(20, 10));
        printer.printerName = QStringLiteral("Screen");
        EXPECT_EQ(printer.PrinterName(), QStringLiteral("Screen"));
        for (Printer *p : {static_cast<Printer *>(&printer), static_cast<Printer *>(&recording)}) {
            p->SetFontName(QStringLiteral("Ariel"));
            p->SetFontSize(10);
        }
        EXPECT_DOUBLE_EQ(printer.TextWidth(QStringLiteral("WWWW")), recording.TextWidth(QStringLiteral("WWWW")));
        EXPECT_DOUBLE_EQ(printer.LineHeight(), recording.LineHeight());
        printer.SetCurrentX(1440);
        printer.SetCurrentY(1440);
        ASSERT_TRUE(printer.Print(QStringLiteral("WWWW"), true));
        EXPECT_EQ(printer.CurrentX(), 0);
        EXPECT_DOUBLE_EQ(printer.CurrentY(), 1440 + printer.LineHeight());
        ASSERT_TRUE(printer.DrawLine(0, 2880, 2880, 2880, Printer::Pen::Solid));
        printer.SetCurrentX(0);
        printer.SetCurrentY(0);
        printer.SetClipRight(300);
        ASSERT_TRUE(printer.Print(QStringLiteral("WWWWWWWWWW"), true));
    }
    const auto inkIn = [&](QRect box) {
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                if (qGray(image.pixel(x, y)) < 128) {
                    return true;
                }
            }
        }
        return false;
    };
    // The text from pixel (164, 154), about 10 pt high at 144 dpi (20 pixels), WWWW about 0.5 in wide.
    EXPECT_TRUE(inkIn(QRect(164, 154, 20, 20)));
    EXPECT_FALSE(inkIn(QRect(140, 140, 22, 60)));
    EXPECT_FALSE(inkIn(QRect(164 + 90, 154, 40, 20)));
    // The line at pixel row 298, from 20 to 308.
    EXPECT_TRUE(inkIn(QRect(30, 297, 1, 3)));
    EXPECT_TRUE(inkIn(QRect(300, 297, 1, 3)));
    // The clipped text stops at twip 300 (pixel 50).
    EXPECT_TRUE(inkIn(QRect(20, 10, 28, 20)));
    EXPECT_FALSE(inkIn(QRect(51, 10, 100, 20)));
}

} // namespace
