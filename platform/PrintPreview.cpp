#include "platform/PrintPreview.h"

#include "platform/QtPrinter.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *addButton(QHBoxLayout *row, QDialog *dialog, const QString &name, const QString &caption) {
    auto *button = new QPushButton(caption, dialog);
    button->setObjectName(name);
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

// A US Letter device for the named printer (empty: the system's default), in PDF format when
// the system knows no such printer.
std::unique_ptr<QPrinter> deviceFor(const QString &printerName) {
    auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (printerName == kPdfPrinterName) {
        device->setOutputFormat(QPrinter::PdfFormat);
    } else if (!printerName.isEmpty()) {
        device->setPrinterName(printerName);
    }
    device->setPageSize(QPageSize(QPageSize::Letter));
    device->setPageOrientation(QPageLayout::Portrait);
    return device;
}

// The system printer of that name as it is set up, or nullptr when it needs the dialog (a PDF
// file, no printer, one the system does not know).
std::unique_ptr<Printer> systemPrinter(const QString &printerName) {
    if (printerName.isEmpty() || printerName == kPdfPrinterName) {
        return nullptr;
    }
    std::unique_ptr<QPrinter> device = deviceFor(printerName);
    if (device->outputFormat() != QPrinter::NativeFormat || device->printerName() != printerName) {
        return nullptr;
    }
    return std::make_unique<QtPrinter>(std::move(device));
}

} // namespace

std::unique_ptr<Printer> QtPrintPreview::ShowPreview(const QString &title, const QString &printerName,
                                                     PrinterDialog &chooser, const Job &job) {
    QString shown = printerName;
    std::unique_ptr<Printer> chosen;
    QtPrinter printer(deviceFor(printerName));

    QDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("dlgPrintPreview"));
    dialog.setWindowTitle(title);
    dialog.resize(760, 860);
    auto *layout = new QVBoxLayout(&dialog);
    auto *describe = new QLabel(job.describe(shown), &dialog);
    describe->setObjectName(QStringLiteral("lblPrinter"));
    describe->setWordWrap(true);
    layout->addWidget(describe);
    auto *view = new QPrintPreviewWidget(&printer.device(), &dialog);
    view->setObjectName(QStringLiteral("pvwSheets"));
    layout->addWidget(view, 1);
    auto *row = new QHBoxLayout;
    layout->addLayout(row);
    QPushButton *choose =
        addButton(row, &dialog, QStringLiteral("cmdChoosePrinter"), QStringLiteral("C&hoose Printer..."));
    QPushButton *zoomIn = addButton(row, &dialog, QStringLiteral("cmdZoomIn"), QStringLiteral("Zoom &In"));
    QPushButton *zoomOut = addButton(row, &dialog, QStringLiteral("cmdZoomOut"), QStringLiteral("Zoom &Out"));
    QPushButton *fit = addButton(row, &dialog, QStringLiteral("cmdFitWidth"), QStringLiteral("Fit &Width"));
    QPushButton *actual = addButton(row, &dialog, QStringLiteral("cmdActualSize"), QStringLiteral("&Actual Size"));
    row->addStretch(1);
    QPushButton *print = addButton(row, &dialog, QStringLiteral("cmdPrint"), QStringLiteral("&Print Checks"));
    QPushButton *close = addButton(row, &dialog, QStringLiteral("cmdClose"), QStringLiteral("&Close"));
    close->setDefault(true);

    // A printer chosen in the dialog is shown from then on, and printed on.
    const auto chooseAnother = [&] {
        std::unique_ptr<Printer> picked = chooser.ShowPrinter();
        if (!picked) {
            return false;
        }
        chosen = std::move(picked);
        shown = chosen->PrinterName();
        // The sheets are shown with the chosen printer's paper and margins.
        if (auto *real = dynamic_cast<QtPrinter *>(chosen.get())) {
            printer.device().setPageLayout(real->device().pageLayout());
        }
        describe->setText(job.describe(shown));
        view->updatePreview();
        return true;
    };
    QObject::connect(view, &QPrintPreviewWidget::paintRequested, &dialog,
                     [&](QPrinter *) { job.draw(printer, shown); });
    QObject::connect(choose, &QPushButton::clicked, &dialog, chooseAnother);
    QObject::connect(zoomIn, &QPushButton::clicked, view, [view] { view->zoomIn(); });
    QObject::connect(zoomOut, &QPushButton::clicked, view, [view] { view->zoomOut(); });
    QObject::connect(fit, &QPushButton::clicked, view, &QPrintPreviewWidget::fitToWidth);
    QObject::connect(actual, &QPushButton::clicked, view, [view] { view->setZoomFactor(1.0); });
    QObject::connect(print, &QPushButton::clicked, &dialog, [&] {
        if (!chosen) {
            chosen = systemPrinter(shown);
        }
        // Nothing printable yet: the person chooses first. The preview stays when that is cancelled,
        // or shows the other printer's sheets when another was chosen, before anything prints.
        const QString before = shown;
        if (chosen || (chooseAnother() && shown == before)) {
            dialog.accept();
        }
    });
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::reject);
    view->fitToWidth();
    if (dialog.exec() != QDialog::Accepted) {
        return nullptr;
    }
    return chosen;
}
