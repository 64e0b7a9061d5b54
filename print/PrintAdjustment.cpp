#include "print/PrintAdjustment.h"

OffsetPrinter::OffsetPrinter(Printer &target, double dx, double dy) : target_(target), dx_(dx), dy_(dy) {
    // The position the target had becomes the layout's own.
    target_.SetCurrentX(target_.CurrentX() + dx_);
    target_.SetCurrentY(target_.CurrentY() + dy_);
}

OffsetPrinter::OffsetPrinter(std::unique_ptr<Printer> target, double dx, double dy) : OffsetPrinter(*target, dx, dy) {
    owned_ = std::move(target);
}

void OffsetPrinter::toOrigin() {
    target_.SetCurrentX(dx_);
    target_.SetCurrentY(dy_);
}

bool OffsetPrinter::Print(const QString &text, bool endLine) {
    const bool printed = target_.Print(text, endLine);
    if (printed && endLine) {
        // The target starts its next line at the page's left edge; the layout's is the shifted one.
        target_.SetCurrentX(dx_);
    }
    return printed;
}

bool OffsetPrinter::NewPage() {
    const bool fed = target_.NewPage();
    if (fed) {
        toOrigin();
    }
    return fed;
}

bool OffsetPrinter::EndDoc() {
    const bool sent = target_.EndDoc();
    if (sent) {
        toOrigin();
    }
    return sent;
}

void OffsetPrinter::Abort() {
    target_.Abort();
    toOrigin();
}

bool OffsetPrinter::DrawLine(double x1, double y1, double x2, double y2, Pen pen) {
    return target_.DrawLine(x1 + dx_, y1 + dy_, x2 + dx_, y2 + dy_, pen);
}

std::unique_ptr<Printer> AdjustedPrinter(std::unique_ptr<Printer> printer, const PrintAdjustment &adjustment) {
    if (!printer || (adjustment.OffsetX == 0 && adjustment.OffsetY == 0)) {
        return printer;
    }
    return std::make_unique<OffsetPrinter>(std::move(printer), adjustment.OffsetX, adjustment.OffsetY);
}
