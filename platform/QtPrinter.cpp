#include "platform/QtPrinter.h"

#include "platform/Fonts.h"

#include <QAbstractPrintDialog>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QTemporaryFile>

#include <cstdio>

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
        clearJob();
        jobOpen_ = true;
        sheetStarts_.append(0);
        error_.clear();
    }
}

void QtPrinter::clearJob() {
    jobOpen_ = false;
    items_ = QList<Item>();
    text_ = QByteArray();
    fonts_.clear();
    currentFont_ = -1;
    sheetStarts_.clear();
    delivered_ = 0;
}

qint32 QtPrinter::fontIndex() {
    if (currentFont_ < 0) {
        currentFont_ = static_cast<qint32>(fonts_.indexOf(font_));
        if (currentFont_ < 0) {
            fonts_.append(font_);
            currentFont_ = static_cast<qint32>(fonts_.size() - 1);
        }
    }
    return currentFont_;
}

bool QtPrinter::Print(const QString &text, bool endLine) {
    startJob();
    if (!text.isEmpty()) {
        Item item;
        item.x = static_cast<float>(x_ * dpiX_ / kTwipsPerInch);
        item.y = static_cast<float>(y_ * dpiY_ / kTwipsPerInch + metrics().ascent());
        item.clipRight = clipRight_ > 0 ? static_cast<float>(clipRight_ * dpiX_ / kTwipsPerInch) : 0;
        item.font = fontIndex();
        item.offset = text_.size();
        text_ += text.toUtf8();
        item.length = text_.size() - item.offset;
        items_.append(item);
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
    sheetStarts_.append(items_.size());
    x_ = 0;
    y_ = 0;
    return true;
}

bool QtPrinter::EndDoc() {
    if (!jobOpen_) {
        return true;
    }
    const QString file = printer_->outputFileName();
    const bool sent = file.isEmpty() ? sendToPrinter() : sendToFile(file);
    if (sent) {
        clearJob();
        x_ = 0;
        y_ = 0;
    }
    return sent;
}

void QtPrinter::Abort() {
    clearJob();
    x_ = 0;
    y_ = 0;
}

QString QtPrinter::PrinterName() const {
    return printer_->outputFormat() == QPrinter::PdfFormat ? kPdfPrinterName : printer_->printerName();
}

bool QtPrinter::DrawLine(double x1, double y1, double x2, double y2, Pen pen) {
    startJob();
    Item item;
    item.kind = pen == Pen::Faint ? Item::Kind::FaintLine : Item::Kind::SolidLine;
    item.x = static_cast<float>(x1 * dpiX_ / kTwipsPerInch);
    item.y = static_cast<float>(y1 * dpiY_ / kTwipsPerInch);
    item.x2 = static_cast<float>(x2 * dpiX_ / kTwipsPerInch);
    item.y2 = static_cast<float>(y2 * dpiY_ / kTwipsPerInch);
    items_.append(item);
    return true;
}

void QtPrinter::drawLine(QPainter &painter, const Item &item, double dpiX) {
    // Half a point wide; a faint line is a light grey.
    QPen pen(item.kind == Item::Kind::FaintLine ? QColor(185, 185, 185) : QColor(Qt::black));
    pen.setWidthF(dpiX / 144);
    pen.setCapStyle(Qt::FlatCap);
    painter.setClipping(false);
    painter.setPen(pen);
    painter.drawLine(QPointF(item.x, item.y), QPointF(item.x2, item.y2));
    painter.setPen(QColor(Qt::black));
}

bool QtPrinter::draw(QPrinter &device, int &drawn) {
    drawn = 0;
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    const int first = delivered_;
    const int sheets = static_cast<int>(sheetStarts_.size());
    qint32 font = -1;
    for (int sheet = first; sheet < sheets; ++sheet) {
        if (sheet > first && !device.newPage()) {
            painter.end();
            return false;
        }
        const qsizetype end = sheet + 1 < sheets ? sheetStarts_.at(sheet + 1) : items_.size();
        for (qsizetype i = sheetStarts_.at(sheet); i < end; ++i) {
            const Item &item = items_.at(i);
            if (item.kind != Item::Kind::Text) {
                drawLine(painter, item, dpiX_);
                continue;
            }
            if (item.font != font) {
                font = item.font;
                painter.setFont(fonts_.at(font));
            }
            if (item.clipRight > 0) {
                painter.setClipRect(QRectF(-kFarAway, -kFarAway, kFarAway + item.clipRight, 2 * kFarAway));
            } else {
                painter.setClipping(false);
            }
            painter.drawText(QPointF(item.x, item.y), QString::fromUtf8(text_.constData() + item.offset, item.length));
        }
        drawn = sheet - first + 1;
        if (sendProgress_) {
            sendProgress_(drawn, sheets - first);
        }
    }
    return painter.end() && device.printerState() != QPrinter::Error;
}

bool QtPrinter::sendToFile(const QString &file) {
    const QString where = QDir::toNativeSeparators(file);
    // The job goes to a temporary file beside the PDF, so a failure never leaves half a job there.
    QTemporaryFile temporary(file + QStringLiteral(".XXXXXX"));
    temporary.setAutoRemove(false);
    if (!temporary.open()) {
        error_ = QStringLiteral("The file %1 could not be written.").arg(where);
        return false;
    }
    const QString partial = temporary.fileName();
    temporary.close();
    // A file that is replaced keeps its mode; a new one stays readable by its owner alone.
    const QFileInfo old(file);
    if (old.exists()) {
        QFile::setPermissions(partial, old.permissions());
    }
    printer_->setOutputFileName(partial);
    int drawn = 0;
    bool sent = draw(*printer_, drawn);
    printer_->setOutputFileName(file);
    sent = sent && QFileInfo(partial).size() > 0 &&
           std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(file).constData()) == 0;
    if (!sent) {
        QFile::remove(partial);
        error_ = QStringLiteral("The file %1 could not be written.").arg(where);
    }
    return sent;
}

bool QtPrinter::sendToPrinter() {
    const QString where = printer_->printerName();
    int drawn = 0;
    if (draw(*printer_, drawn)) {
        return true;
    }
    // Once painting has begun, whatever was drawn goes to the printer when the painter ends; those
    // sheets are never sent again. A job that failed at its end may have gone out whole.
    if (drawn == 0) {
        error_ = QStringLiteral("The printer \"%1\" could not start the print job.").arg(where);
        return false;
    }
    const int sheets = static_cast<int>(sheetStarts_.size());
    const bool ended = delivered_ + drawn >= sheets;
    delivered_ = ended ? sheets : delivered_ + drawn;
    error_ = ended ? QStringLiteral("The printer \"%1\" could not finish the print job.").arg(where)
                   : QStringLiteral("The printer \"%1\" could not start a new sheet.").arg(where);
    return false;
}

std::unique_ptr<Printer> MakePdfPrinter(const QString &path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setPageSize(QPageSize(QPageSize::Letter));
    printer->setPageOrientation(QPageLayout::Portrait);
    return std::make_unique<QtPrinter>(std::move(printer));
}

std::unique_ptr<Printer> QtPrinterDialog::ShowPrinter(const QString &preselect) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (preselect == kPdfPrinterName) {
        printer->setOutputFormat(QPrinter::PdfFormat);
    } else if (!preselect.isEmpty()) {
        printer->setPrinterName(preselect);
    }
    printer->setCopyCount(1);
    // The check forms are US Letter sheets fed portrait; the dialog starts there whatever the
    // locale's paper, and what the person then picks holds.
    printer->setPageSize(QPageSize(QPageSize::Letter));
    printer->setPageOrientation(QPageLayout::Portrait);
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
