#pragma once

#include "platform/Printer.h"

#include <memory>

// A printer that hands every call on to another one. A printer that changes a few calls (shifts,
// outlines, catches) derives from this and overrides only those, so a new Printer call is handed on
// here once.
class ForwardingPrinter : public Printer {
public:
    // Hands on to `target`, which must outlive it.
    explicit ForwardingPrinter(Printer &target) : target_(target) {}
    // Hands on to `target` and owns it.
    explicit ForwardingPrinter(std::unique_ptr<Printer> target) : owned_(std::move(target)), target_(*owned_) {}

    void SetOrientation(Orientation orientation) override { target_.SetOrientation(orientation); }
    void SetFontName(const QString &face) override { target_.SetFontName(face); }
    void SetFontSize(double points) override { target_.SetFontSize(points); }
    void SetFontBold(bool bold) override { target_.SetFontBold(bold); }

    double CurrentX() const override { return target_.CurrentX(); }
    double CurrentY() const override { return target_.CurrentY(); }
    void SetCurrentX(double twips) override { target_.SetCurrentX(twips); }
    void SetCurrentY(double twips) override { target_.SetCurrentY(twips); }
    double TextWidth(const QString &text) const override { return target_.TextWidth(text); }
    double LineHeight() const override { return target_.LineHeight(); }
    void SetClipRight(double twips) override { target_.SetClipRight(twips); }
    QPointF PaperCorner() const override { return target_.PaperCorner(); }

    bool Print(const QString &text, bool endLine) override { return target_.Print(text, endLine); }
    bool NewPage() override { return target_.NewPage(); }
    bool EndDoc() override { return target_.EndDoc(); }
    void Abort() override { target_.Abort(); }
    QString ErrorText() const override { return target_.ErrorText(); }
    int SheetsDelivered() const override { return target_.SheetsDelivered(); }
    void SetSendProgress(SendProgress progress) override { target_.SetSendProgress(std::move(progress)); }
    QString PrinterName() const override { return target_.PrinterName(); }
    bool DrawLine(double x1, double y1, double x2, double y2, Pen pen) override {
        return target_.DrawLine(x1, y1, x2, y2, pen);
    }

protected:
    Printer &target() const { return target_; }

private:
    std::unique_ptr<Printer> owned_;
    Printer &target_;
};
