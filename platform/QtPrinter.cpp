#include "platform/QtPrinter.h"

#include "platform/Fonts.h"

#include <QAbstractPrintDialog>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>

namespace {

constexpr double kTwipsPerInch = 1440;
// Reaches past any sheet, in device units, for the open sides of a clip rectangle.
constexpr double kFarAway = 1e7;

// The printer draws in twips: 1440 dots to the inch makes one device unit one twip.
void prepare(QPrinter &printer) {
    printer.setResolution(static_cast<int>(kTwipsPerInch));
    printer.setCopyCount(1);
    printer.setCollateCopies(false);
}

} // namespace

QtPrinter::QtPrinter(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {
    InstallFontSubstitutions();
    prepare(*printer_);
    // Engines that keep their own resolution still map twips exactly through their dots per inch.
    dpiX_ = printer_->logicalDpiX();
    dpiY_ = printer_->logicalDpiY();
    font_ = QFont(ArialCompatibleFace());
    font_.setPointSizeF(10);
}

QtPrinter::~QtPrinter() = default;

void QtPrinter::SetOrientation(Orientation orientation) {
    printer_->setPageOrientation(orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                       : QPageLayout::Portrait);
}

void QtPrinter::SetFontName(const QString &face) {
    font_.setFamily(face);
    fontChanged();
}

void QtPrinter::SetFontSize(double points) {
    font_.setPointSizeF(points);
    fontChanged();
}

void QtPrinter::SetFontBold(bool bold) {
    font_.setBold(bold);
    fontChanged();
}

void QtPrinter::fontChanged() {
    metrics_.reset();
}

const QFontMetricsF &QtPrinter::metrics() const {
    if (!metrics_) {
        metrics_.emplace(font_, printer_.get());
    }
    return *metrics_;
}

double QtPrinter::TextWidth(const QString &text) const {
    return metrics().horizontalAdvance(text) * kTwipsPerInch / dpiX_;
}

double QtPrinter::LineHeight() const {
    return metrics().lineSpacing() * kTwipsPerInch / dpiY_;
}

void QtPrinter::startJob() {
    if (!jobOpen_) {
        jobOpen_ = true;
        sheets_.clear();
        sheets_.append(QList<Item>());
        error_.clear();
    }
}

bool QtPrinter::Print(const QString &text, bool endLine) {
    startJob();
    if (!text.isEmpty()) {
        const QPointF baseline(x_ * dpiX_ / kTwipsPerInch, y_ * dpiY_ / kTwipsPerInch + metrics().ascent());
        const double clip = clipRight_ > 0 ? clipRight_ * dpiX_ / kTwipsPerInch : 0;
        sheets_.last().append(Item{baseline, text, font_, clip, false, {}, Pen::Solid});
    }
    if (endLine) {
        x_ = 0;
        y_ += LineHeight();
    } else {
        x_ += TextWidth(text);
    }
    return true;
}

bool QtPrinter::NewPage() {
    startJob();
    sheets_.append(QList<Item>());
    x_ = 0;
    y_ = 0;
    return true;
}

bool QtPrinter::EndDoc() {
    if (!jobOpen_) {
        return true;
    }
    const bool sent = replay();
    if (sent) {
        jobOpen_ = false;
        sheets_.clear();
        x_ = 0;
        y_ = 0;
    }
    return sent;
}

void QtPrinter::Abort() {
    jobOpen_ = false;
    sheets_.clear();
    x_ = 0;
    y_ = 0;
}

QString QtPrinter::PrinterName() const {
    return printer_->outputFormat() == QPrinter::PdfFormat ? kPdfPrinterName : printer_->printerName();
}

bool QtPrinter::DrawLine(double x1, double y1, double x2, double y2, Pen pen) {
    startJob();
    Item item;
    item.isLine = true;
    item.baseline = QPointF(x1 * dpiX_ / kTwipsPerInch, y1 * dpiY_ / kTwipsPerInch);
    item.lineEnd = QPointF(x2 * dpiX_ / kTwipsPerInch, y2 * dpiY_ / kTwipsPerInch);
    item.pen = pen;
    sheets_.last().append(item);
    return true;
}

void QtPrinter::drawLine(QPainter &painter, const Item &item) const {
    // Half a point wide; a faint line is a light grey.
    QPen pen(item.pen == Pen::Faint ? QColor(185, 185, 185) : QColor(Qt::black));
    pen.setWidthF(dpiX_ / 144);
    pen.setCapStyle(Qt::FlatCap);
    painter.setClipping(false);
    painter.setPen(pen);
    painter.drawLine(item.baseline, item.lineEnd);
    painter.setPen(QColor(Qt::black));
}

bool QtPrinter::replay() {
    const QString file = printer_->outputFileName();
    const QString where = file.isEmpty() ? printer_->printerName() : QDir::toNativeSeparators(file);
    QPainter painter;
    if (!painter.begin(printer_.get())) {
        error_ = file.isEmpty() ? QStringLiteral("The printer \"%1\" could not start the print job.").arg(where)
                                : QStringLiteral("The file %1 could not be written.").arg(where);
        return false;
    }
    QFont current;
    bool haveFont = false;
    for (qsizetype sheet = 0; sheet < sheets_.size(); ++sheet) {
        if (sheet > 0 && !printer_->newPage()) {
            error_ = QStringLiteral("The printer \"%1\" could not start a new sheet.").arg(where);
            painter.end();
            return false;
        }
        for (const Item &item : std::as_const(sheets_[sheet])) {
            if (item.isLine) {
                drawLine(painter, item);
                continue;
            }
            if (!haveFont || !(item.font == current)) {
                painter.setFont(item.font);
                current = item.font;
                haveFont = true;
            }
            if (item.clipRight > 0) {
                painter.setClipRect(QRectF(-kFarAway, -kFarAway, kFarAway + item.clipRight, 2 * kFarAway));
            } else {
                painter.setClipping(false);
            }
            painter.drawText(item.baseline, item.text);
        }
    }
    if (!painter.end() || printer_->printerState() == QPrinter::Error) {
        error_ = QStringLiteral("The printer \"%1\" could not finish the print job.").arg(where);
        return false;
    }
    if (!file.isEmpty() && !QFileInfo::exists(file)) {
        error_ = QStringLiteral("The file %1 could not be written.").arg(where);
        return false;
    }
    return true;
}

std::unique_ptr<Printer> MakePdfPrinter(const QString &path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setPageSize(QPageSize(QPageSize::Letter));
    return std::make_unique<QtPrinter>(std::move(printer));
}

std::unique_ptr<Printer> QtPrinterDialog::ShowPrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setCopyCount(1);
    QPrintDialog dialog(printer.get(), parent_);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile);
    // One copy only: a second copy would print every check twice while the numbers advance once.
    if (auto *copies = dialog.findChild<QSpinBox *>(QStringLiteral("copies"))) {
        copies->setRange(1, 1);
        copies->setEnabled(false);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return nullptr;
    }
    return std::make_unique<QtPrinter>(std::move(printer));
}
