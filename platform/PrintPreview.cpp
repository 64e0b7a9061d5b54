#include "platform/PrintPreview.h"

#include "platform/QtPrinter.h"

#include <QDialog>
#include <QHBoxLayout>
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

} // namespace

PrintPreview::Answer QtPrintPreview::ShowPreview(const QString &title, const QString &printerName,
                                                 const std::function<void(Printer &)> &draw) {
    auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (printerName == kPdfPrinterName) {
        device->setOutputFormat(QPrinter::PdfFormat);
    } else if (!printerName.isEmpty()) {
        device->setPrinterName(printerName);
    }
    device->setPageSize(QPageSize(QPageSize::Letter));
    QtPrinter printer(std::move(device));

    QDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("dlgPrintPreview"));
    dialog.setWindowTitle(title);
    dialog.resize(760, 860);
    auto *layout = new QVBoxLayout(&dialog);
    auto *view = new QPrintPreviewWidget(&printer.device(), &dialog);
    view->setObjectName(QStringLiteral("pvwSheets"));
    layout->addWidget(view, 1);
    auto *row = new QHBoxLayout;
    layout->addLayout(row);
    QPushButton *zoomIn = addButton(row, &dialog, QStringLiteral("cmdZoomIn"), QStringLiteral("Zoom &In"));
    QPushButton *zoomOut = addButton(row, &dialog, QStringLiteral("cmdZoomOut"), QStringLiteral("Zoom &Out"));
    QPushButton *fit = addButton(row, &dialog, QStringLiteral("cmdFitWidth"), QStringLiteral("Fit &Width"));
    QPushButton *actual = addButton(row, &dialog, QStringLiteral("cmdActualSize"), QStringLiteral("&Actual Size"));
    row->addStretch(1);
    QPushButton *print = addButton(row, &dialog, QStringLiteral("cmdPrint"), QStringLiteral("&Print Checks"));
    QPushButton *close = addButton(row, &dialog, QStringLiteral("cmdClose"), QStringLiteral("&Close"));
    close->setDefault(true);

    QObject::connect(view, &QPrintPreviewWidget::paintRequested, &dialog, [&](QPrinter *) { draw(printer); });
    QObject::connect(zoomIn, &QPushButton::clicked, view, [view] { view->zoomIn(); });
    QObject::connect(zoomOut, &QPushButton::clicked, view, [view] { view->zoomOut(); });
    QObject::connect(fit, &QPushButton::clicked, view, &QPrintPreviewWidget::fitToWidth);
    QObject::connect(actual, &QPushButton::clicked, view, [view] { view->setZoomFactor(1.0); });
    QObject::connect(print, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::reject);
    view->fitToWidth();
    return dialog.exec() == QDialog::Accepted ? Answer::Print : Answer::Close;
}
