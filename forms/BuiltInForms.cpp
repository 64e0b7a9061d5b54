#include "forms/BuiltInForms.h"

#include <array>

namespace {

// The check face's line at 10 points (230 twips), for the wallet stub's account number, which stands
// one empty line below the memo.
constexpr double kCheckLine = 230.0 / 1440.0;

// The tops of date, payee (and figures), words and memo of the two Deluxe styles, by slot.
struct DeluxeLines {
    double Date, Payee, Words, Memo;
};
constexpr std::array<DeluxeLines, 3> kThreeOnAPageLines{{
    {0.75, 1.25, 1.75, 2.5},
    {4.25, 4.75, 5.25, 6.0},
    {7.75, 8.25, 8.75, 9.5},
}};
constexpr std::array<DeluxeLines, 3> kWalletSizeLines{{
    {0.4, 0.75, 1.0, 1.9},
    {3.25, 3.65, 3.9, 4.75},
    {6.15, 6.5, 6.75, 7.6},
}};

FormItem left(FormField field, double x, double y) {
    FormItem item;
    item.Field = field;
    item.X = x;
    item.Y = y;
    return item;
}

FormItem right(FormField field, double x, double y) {
    FormItem item = left(field, x, y);
    item.RightAnchored = true;
    return item;
}

FormItem words(double x, double y, double width) {
    FormItem item = left(FormField::Words, x, y);
    item.Width = width;
    return item;
}

FormItem stub(FormItem item, double clipWidth = 0) {
    item.Stub = true;
    item.ClipWidth = clipWidth;
    return item;
}

// Date right-aligned at 8.0 in, payee, words (4.0 in wide) and memo at the column, figures
// right-aligned at 7.25 in on the payee line.
QList<FormItem> deluxeCheck(const DeluxeLines &lines, double column) {
    return {
        right(FormField::Date, 8.0, lines.Date),     left(FormField::Payee, column, lines.Payee),
        right(FormField::Amount, 7.25, lines.Payee), words(column, lines.Words, 4.0),
        left(FormField::Memo, column, lines.Memo),
    };
}

CheckForm threeOnAPage() {
    CheckForm form;
    form.Name = kFormThreeOnAPage;
    form.BuiltIn = true;
    // Three checks of 3.5 in, one under the other.
    for (int slot = 0; slot < 3; ++slot) {
        FormArea area;
        area.Check = QRectF(0, 3.5 * slot, 8.5, 3.5);
        area.Items = deluxeCheck(kThreeOnAPageLines[slot], 1.0);
        form.Areas.append(area);
    }
    return form;
}

CheckForm walletSize() {
    CheckForm form;
    form.Name = kFormWalletSize;
    form.BuiltIn = true;
    // Checks at 2.85 and 2.9 in pitch, a stub at the left cut off at 2.75 in, between the stub's clip at
    // 2.7 in and the check's column at 2.8 in.
    constexpr std::array<std::pair<double, double>, 3> kSpans{{{0, 2.85}, {2.85, 2.9}, {5.75, 2.9}}};
    constexpr double kStubRight = 2.75;
    constexpr double kStubColumn = 0.5;
    constexpr double kStubClip = 2.7 - kStubColumn;
    for (int slot = 0; slot < 3; ++slot) {
        const DeluxeLines &lines = kWalletSizeLines[slot];
        FormArea area;
        area.Check = QRectF(kStubRight, kSpans[slot].first, 8.5 - kStubRight, kSpans[slot].second);
        area.Stubs = {QRectF(0, kSpans[slot].first, kStubRight, kSpans[slot].second)};
        area.Items = deluxeCheck(lines, 2.8);
        area.Items += {
            stub(right(FormField::Date, 1.0, lines.Date)),
            stub(left(FormField::Payee, kStubColumn, lines.Payee), kStubClip),
            stub(left(FormField::Memo, kStubColumn, lines.Memo), kStubClip),
            stub(left(FormField::Account, kStubColumn, lines.Memo + 2 * kCheckLine), kStubClip),
        };
        form.Areas.append(area);
    }
    return form;
}

// Where the check and the stubs of a voucher sheet lie: three panels of 3.5 in down the sheet, the
// last one running on to the sheet's bottom edge.
enum class CheckPanel { Top, Middle, Bottom };

// The items of a voucher stub that starts at `top`: payee, date and check number on the first line,
// memo and amount on the second, the masked account number on the third.
QList<FormItem> voucherStub(double top) {
    FormItem account = stub(left(FormField::Account, 0.6, top + 0.85));
    account.Masked = true;
    return {
        stub(left(FormField::Payee, 0.6, top + 0.35), 4.4),   stub(right(FormField::Date, 6.5, top + 0.35)),
        stub(right(FormField::CheckNumber, 7.9, top + 0.35)), stub(left(FormField::Memo, 0.6, top + 0.6), 4.4),
        stub(right(FormField::Amount, 7.9, top + 0.6)),       account,
    };
}

// The check part of a voucher whose top is at `top`: the published positions of the check-on-top
// stock, moved down with the check.
QList<FormItem> voucherCheck(double top) {
    FormItem address = left(FormField::Address, 0.85, top + 1.65);
    address.Lines = kMostAddressLines;
    return {
        left(FormField::Date, 6.51, top + 0.55),
        left(FormField::Payee, 0.85, top + 1.09),
        left(FormField::Amount, 6.77, top + 1.07),
        words(0.25, top + 1.45, 7.25),
        address,
        left(FormField::Memo, 0.6, top + 2.41),
    };
}

CheckForm voucher(const QString &name, CheckPanel panel) {
    constexpr double kPanel = 3.5;
    CheckForm form;
    form.Name = name;
    form.BuiltIn = true;
    FormArea area;
    QList<double> stubTops;
    switch (panel) {
    case CheckPanel::Top:
        area.Check = QRectF(0, 0, 8.5, kPanel);
        area.Stubs = {QRectF(0, kPanel, 8.5, kPanel), QRectF(0, 2 * kPanel, 8.5, 11.0 - 2 * kPanel)};
        // The published layout starts the stubs at 3.45 and 7.0 in.
        stubTops = {3.45, 7.0};
        break;
    case CheckPanel::Middle:
        area.Check = QRectF(0, kPanel, 8.5, kPanel);
        area.Stubs = {QRectF(0, 0, 8.5, kPanel), QRectF(0, 2 * kPanel, 8.5, 11.0 - 2 * kPanel)};
        stubTops = {0, 2 * kPanel};
        break;
    case CheckPanel::Bottom:
        area.Check = QRectF(0, 2 * kPanel, 8.5, kPanel);
        area.Stubs = {QRectF(0, 0, 8.5, kPanel), QRectF(0, kPanel, 8.5, kPanel)};
        stubTops = {0, kPanel};
        break;
    }
    area.Items = voucherCheck(area.Check.top());
    for (const double top : std::as_const(stubTops)) {
        area.Items += voucherStub(top);
    }
    form.Areas.append(area);
    return form;
}

} // namespace

const QList<CheckForm> &BuiltInForms() {
    static const QList<CheckForm> forms{
        threeOnAPage(),
        walletSize(),
        voucher(kFormVoucherTop, CheckPanel::Top),
        voucher(kFormVoucherMiddle, CheckPanel::Middle),
        voucher(kFormVoucherBottom, CheckPanel::Bottom),
    };
    return forms;
}

std::optional<CheckForm> BuiltInForm(const QString &name) {
    for (const CheckForm &form : BuiltInForms()) {
        if (form.Name.compare(name, Qt::CaseInsensitive) == 0) {
            return form;
        }
    }
    return std::nullopt;
}
