#include "print/PrintAdjustment.h"

OffsetPrinter::OffsetPrinter(Printer &target, double dx, double dy) : ForwardingPrinter(target), dx_(dx), dy_(dy) {
    shiftPosition();
}

OffsetPrinter::OffsetPrinter(std::unique_ptr<Printer> target, double dx, double dy)
    : ForwardingPrinter(std::move(target)), dx_(dx), dy_(dy) {
    shiftPosition();
}

void OffsetPrinter::shiftPosition() {
    target().SetCurrentX(target().CurrentX() + dx_);
    target().SetCurrentY(target().CurrentY() + dy_);
}

void OffsetPrinter::toOrigin() {
    target().SetCurrentX(dx_);
    target().SetCurrentY(dy_);
}

bool OffsetPrinter::Print(const QString &text, bool endLine) {
    const bool printed = target().Print(text, endLine);
    if (printed && endLine) {
        // The target starts its next line at the page's left edge; the layout's is the shifted one.
        target().SetCurrentX(dx_);
    }
    return printed;
}

bool OffsetPrinter::NewPage() {
    const bool fed = target().NewPage();
    if (fed) {
        toOrigin();
    }
    return fed;
}

bool OffsetPrinter::EndDoc() {
    const bool sent = target().EndDoc();
    if (sent) {
        toOrigin();
    }
    return sent;
}

void OffsetPrinter::Abort() {
    target().Abort();
    toOrigin();
}

bool OffsetPrinter::DrawLine(double x1, double y1, double x2, double y2, Pen pen) {
    return target().DrawLine(x1 + dx_, y1 + dy_, x2 + dx_, y2 + dy_, pen);
}

std::unique_ptr<Printer> AdjustedPrinter(std::unique_ptr<Printer> printer, const PrintAdjustment &adjustment) {
    if (!printer || (adjustment.OffsetX == 0 && adjustment.OffsetY == 0)) {
        return printer;
    }
    return std::make_unique<OffsetPrinter>(std::move(printer), adjustment.OffsetX, adjustment.OffsetY);
}
