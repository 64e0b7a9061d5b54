// The real print preview, the painter printer and the line drawing of the real printer.
#include "platform/PainterPrinter.h"
#include "platform/PrintPreview.h"
#include "platform/QtPrinter.h"
#include "platform/testing/RecordingPrinter.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Runs `inside` on the preview dialog once it is up and has drawn.
void whilePreviewIsUp(const std::function<void(QDialog &)> &inside) {
    QTimer::singleShot(0, [inside] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog->objectName() != QStringLiteral("dlgPrintPreview")) {
            ADD_FAILURE() << "no preview dialog";
            if (dialog) {
                dialog->reject();
            }
            return;
        }
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
        inside(*dialog);
    });
}

struct PreviewRun {
    int draws = 0;
    QString printerName;
    std::function<void(Printer &)> draw() {
        return [this](Printer &printer) {
            ++draws;
            printerName = printer.PrinterName();
            printer.SetCurrentX(1440);
            printer.SetCurrentY(1440);
            printer.Print(QStringLiteral("First sheet"), true);
            printer.DrawLine(0, 0, 1440, 1440, Printer::Pen::Faint);
            printer.NewPage();
            printer.Print(QStringLiteral("Second sheet"), true);
            printer.EndDoc();
        };
    }
};

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
        whilePreviewIsUp([&](QDialog &dialog) {
            auto *view = dialog.findChild<QPrintPreviewWidget *>(QStringLiteral("pvwSheets"));
            ASSERT_NE(view, nullptr);
            pages = view->pageCount();
            title = dialog.windowTitle();
            close(dialog);
        });
        QtPrintPreview preview;
        EXPECT_EQ(preview.ShowPreview(QStringLiteral("Print Preview"), kPdfPrinterName, run.draw()),
                  PrintPreview::Answer::Close);
        EXPECT_GE(run.draws, 1);
        EXPECT_EQ(pages, 2);
        EXPECT_EQ(title, QStringLiteral("Print Preview"));
        EXPECT_EQ(run.printerName, kPdfPrinterName);
    }
}

TEST(QtPrintPreview, printChecksButtonAsksToPrint_byKeyAndByClick) {
    const std::function<void(QDialog &)> printers[] = {
        [](QDialog &dialog) { QTest::keyClick(&dialog, Qt::Key_P, Qt::AltModifier); },
        [](QDialog &dialog) {
            QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdPrint")), Qt::LeftButton);
        },
    };
    for (const auto &print : printers) {
        PreviewRun run;
        whilePreviewIsUp(print);
        QtPrintPreview preview;
        EXPECT_EQ(preview.ShowPreview(QStringLiteral("Print Preview"), QString(), run.draw()),
                  PrintPreview::Answer::Print);
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
    preview.ShowPreview(QStringLiteral("Print Preview"), kPdfPrinterName, run.draw());
    EXPECT_GT(zoomed, fitted);
    EXPECT_DOUBLE_EQ(actual, 1.0);
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

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
