#pragma once

#include "platform/ForwardingPrinter.h"

#include <QString>

#include <functional>
#include <memory>

// What a print run does differently on one printer for one check style: every item moved by the
// offsets (twips, right and down positive), and the amounts protected against additions.
struct PrintAdjustment {
    double OffsetX = 0;
    double OffsetY = 0;
    bool CheckProtection = false;
};

// The adjustment for a printer (by name) and a check style.
using AdjustmentLookup = std::function<PrintAdjustment(const QString &printerName, const QString &style)>;

// A printer that draws everything another printer draws moved by a fixed offset: the layout code
// keeps its own coordinates (current position, clip, lines), the page gets them shifted. A new line
// and a new sheet start at the shifted origin.
class OffsetPrinter final : public ForwardingPrinter {
public:
    // Draws on `target`, which must outlive it.
    OffsetPrinter(Printer &target, double dx, double dy);
    // Draws on `target` and owns it.
    OffsetPrinter(std::unique_ptr<Printer> target, double dx, double dy);

    double CurrentX() const override { return target().CurrentX() - dx_; }
    double CurrentY() const override { return target().CurrentY() - dy_; }
    void SetCurrentX(double twips) override { target().SetCurrentX(twips + dx_); }
    void SetCurrentY(double twips) override { target().SetCurrentY(twips + dy_); }
    void SetClipRight(double twips) override { target().SetClipRight(twips > 0 ? twips + dx_ : twips); }
    QPointF PaperCorner() const override { return target().PaperCorner() - QPointF(dx_, dy_); }

    bool Print(const QString &text, bool endLine) override;
    bool NewPage() override;
    bool EndDoc() override;
    void Abort() override;
    bool DrawLine(double x1, double y1, double x2, double y2, Pen pen) override;

private:
    // The position the target had becomes the layout's own.
    void shiftPosition();
    void toOrigin();

    double dx_;
    double dy_;
};

// The printer itself when the adjustment moves nothing, so that an unaligned printer gets exactly
// the calls it always got; otherwise an OffsetPrinter owning it.
std::unique_ptr<Printer> AdjustedPrinter(std::unique_ptr<Printer> printer, const PrintAdjustment &adjustment);
