#include "forms/CheckForm.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

struct FieldNames {
    FormField field;
    const char *key;
    const char *title;
};

constexpr std::array<FieldNames, 8> kFields{{
    {FormField::Date, "date", "date"},
    {FormField::Payee, "payee", "payee"},
    {FormField::Amount, "amount", "amount in figures"},
    {FormField::Words, "words", "amount in words"},
    {FormField::Memo, "memo", "memo"},
    {FormField::Address, "address", "payee address"},
    {FormField::CheckNumber, "checkNumber", "check number"},
    {FormField::Account, "account", "account number"},
}};

// The Arial-compatible check face spaces its lines 1.15 em apart.
constexpr double kLineSpacingEm = 1.15;

QString inches(double value) {
    return QString::number(value, 'f', 2) + QStringLiteral(" in");
}

QString areaPath(qsizetype area) {
    return QStringLiteral("areas[%1]").arg(area);
}

QString itemPath(qsizetype area, qsizetype item, const char *key) {
    return QStringLiteral("areas[%1].items[%2].%3").arg(area).arg(item).arg(QString::fromLatin1(key));
}

std::optional<FormFault> nameFault(const QString &name) {
    const auto fault = [](QString reason) { return FormFault{QStringLiteral("name"), std::move(reason)}; };
    if (name.trimmed().isEmpty()) {
        return fault(QStringLiteral("The form has no name. Give it a name."));
    }
    if (name != name.trimmed()) {
        return fault(QStringLiteral("The name \"%1\" begins or ends with a blank. Remove the blanks.").arg(name));
    }
    if (name.size() > kLongestFormName) {
        return fault(QStringLiteral("The name \"%1\" is longer than %2 characters. Shorten it.")
                         .arg(name)
                         .arg(kLongestFormName));
    }
    if (name.startsWith(u'.')) {
        return fault(QStringLiteral("The name \"%1\" begins with a point. Begin it with a letter or digit.").arg(name));
    }
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control) {
            return fault(QStringLiteral("The name \"%1\" holds a slash, backslash or control character, which a file "
                                        "name cannot. Leave them out.")
                             .arg(name));
        }
    }
    return std::nullopt;
}

// A rectangle of positive size inside the page.
std::optional<FormFault> rectFault(const QRectF &rect, const QSizeF &page, const QString &field, const QString &what) {
    if (!(rect.width() > 0 && rect.height() > 0)) {
        return FormFault{field, QStringLiteral("The %1 has no width or no height. Give it both.").arg(what)};
    }
    if (rect.left() < 0 || rect.top() < 0 || rect.right() > page.width() || rect.bottom() > page.height()) {
        return FormFault{field, QStringLiteral("The %1 (%2 to %3 across, %4 to %5 down) reaches off the %6 by %7 "
                                               "page. Move it onto the page.")
                                    .arg(what, inches(rect.left()), inches(rect.right()), inches(rect.top()),
                                         inches(rect.bottom()), inches(page.width()), inches(page.height()))};
    }
    return std::nullopt;
}

// How many lines the item may take down the check.
int linesTaken(const FormItem &item) {
    if (item.Field == FormField::Address) {
        return item.Lines;
    }
    if (item.Field == FormField::Words && item.Rule == WordsRule::Wrap) {
        return kWrappedWordsLines;
    }
    return 1;
}

std::optional<FormFault> itemFault(const CheckForm &form, qsizetype a, qsizetype i) {
    const FormItem &item = form.Areas[a].Items[i];
    const QString title = FieldTitle(item.Field);
    const auto fault = [&](const char *key, QString reason) { return FormFault{itemPath(a, i, key), reason}; };
    if (item.FontSize < kSmallestFontSize || item.FontSize > kLargestFontSize) {
        return fault("fontSize", QStringLiteral("The %1's font size %2 is outside %3 to %4 points. Choose a size "
                                                "in that range.")
                                     .arg(title)
                                     .arg(item.FontSize)
                                     .arg(kSmallestFontSize)
                                     .arg(kLargestFontSize));
    }
    if (item.X < 0 || item.X > form.Page.width()) {
        return fault("x", QStringLiteral("The %1 stands %2 from the left, off the %3 wide page. Move it onto the page.")
                              .arg(title, inches(item.X), inches(form.Page.width())));
    }
    const double bottom = item.Y + linesTaken(item) * LineHeightInches(item.FontSize);
    if (item.Y < 0 || bottom > form.Page.height()) {
        return fault("y", QStringLiteral("The %1 stands %2 from the top, and its lines reach off the %3 tall page. "
                                         "Move it onto the page.")
                              .arg(title, inches(item.Y), inches(form.Page.height())));
    }
    if (item.Field == FormField::Words) {
        if (!(item.Width > 0) || item.X + item.Width > form.Page.width()) {
            return fault("width", QStringLiteral("The amount in words needs a width from its place to at most the "
                                                 "page's right edge; %1 does not fit. Give a width that does.")
                                      .arg(inches(item.Width)));
        }
    } else if (item.Width != 0) {
        return fault("width", QStringLiteral("Only the amount in words has a width; the %1 has none. Remove the "
                                             "width or use a clip width.")
                                  .arg(title));
    }
    if (item.ClipWidth < 0 || item.X + item.ClipWidth > form.Page.width()) {
        return fault("clipWidth", QStringLiteral("The %1's clip width %2 does not end on the page. Give a width that "
                                                 "does, or 0 for none.")
                                      .arg(title, inches(item.ClipWidth)));
    }
    if (item.ClipWidth > 0 && item.RightAnchored) {
        return fault("clipWidth", QStringLiteral("The %1 is anchored at its right end and cannot be cut at a width. "
                                                 "Anchor it at the left or remove the clip width.")
                                      .arg(title));
    }
    if (item.Lines < 1 || item.Lines > kMostAddressLines || (item.Lines > 1 && item.Field != FormField::Address)) {
        return fault("lines", QStringLiteral("The %1 may take %2 line(s); only the payee address takes more than one, "
                                             "up to %3. Change the number of lines.")
                                  .arg(title)
                                  .arg(item.Lines)
                                  .arg(kMostAddressLines));
    }
    if (item.Masked && item.Field != FormField::Account) {
        return fault("mask",
                     QStringLiteral("Only the account number can be masked, not the %1. Remove the mask.").arg(title));
    }
    // No item may reach into the clear band of any check it stands on, whichever area lists it.
    for (qsizetype c = 0; c < form.Areas.size(); ++c) {
        const QRectF &check = form.Areas[c].Check;
        const double bandTop = check.bottom() - kMicrClearBand;
        const bool across = item.X >= check.left() && item.X <= check.right();
        if (across && item.Y < check.bottom() && bottom > bandTop + 1e-9) {
            return fault("y", QStringLiteral("The %1 at %2 from the top reaches into the bottom 5/8 inch of check %3 "
                                             "(from %4), where the bank reads the MICR line. Move it up to %5 or "
                                             "higher.")
                                  .arg(title, inches(item.Y))
                                  .arg(c + 1)
                                  .arg(inches(bandTop), inches(bandTop - (bottom - item.Y))));
        }
    }
    return std::nullopt;
}

} // namespace

QRectF FormArea::Bounds() const {
    QRectF bounds = Check;
    for (const QRectF &stub : Stubs) {
        bounds = bounds.united(stub);
    }
    return bounds;
}

QList<QLineF> FormArea::OutlineLines() const {
    const QRectF bounds = Bounds();
    QList<QLineF> lines{
        {bounds.topLeft(), bounds.topRight()},
        {bounds.topRight(), bounds.bottomRight()},
        {bounds.bottomRight(), bounds.bottomLeft()},
        {bounds.bottomLeft(), bounds.topLeft()},
    };
    const auto addInner = [&](const QLineF &edge) {
        const bool onBounds = (edge.x1() == edge.x2() && (edge.x1() == bounds.left() || edge.x1() == bounds.right())) ||
                              (edge.y1() == edge.y2() && (edge.y1() == bounds.top() || edge.y1() == bounds.bottom()));
        const bool drawn = std::any_of(lines.cbegin(), lines.cend(), [&](const QLineF &line) {
            return (line.p1() == edge.p1() && line.p2() == edge.p2()) ||
                   (line.p1() == edge.p2() && line.p2() == edge.p1());
        });
        if (!onBounds && !drawn) {
            lines.append(edge);
        }
    };
    QList<QRectF> parts{Check};
    parts += Stubs;
    for (const QRectF &part : std::as_const(parts)) {
        addInner({part.topLeft(), part.topRight()});
        addInner({part.topRight(), part.bottomRight()});
        addInner({part.bottomLeft(), part.bottomRight()});
        addInner({part.topLeft(), part.bottomLeft()});
    }
    return lines;
}

double LineHeightInches(double fontSize) {
    return fontSize * kLineSpacingEm / 72.0;
}

QString FieldKey(FormField field) {
    for (const FieldNames &names : kFields) {
        if (names.field == field) {
            return QString::fromLatin1(names.key);
        }
    }
    return {};
}

std::optional<FormField> FieldFromKey(const QString &key) {
    for (const FieldNames &names : kFields) {
        if (key == QLatin1String(names.key)) {
            return names.field;
        }
    }
    return std::nullopt;
}

QString FieldTitle(FormField field) {
    for (const FieldNames &names : kFields) {
        if (names.field == field) {
            return QString::fromLatin1(names.title);
        }
    }
    return {};
}

std::optional<FormFault> FindFormFault(const CheckForm &form) {
    if (auto fault = nameFault(form.Name)) {
        return fault;
    }
    if (form.Page != QSizeF(8.5, 11.0)) {
        return FormFault{QStringLiteral("page"),
                         QStringLiteral("Only US Letter sheets (8.5 by 11 in) are known. Use \"Letter\".")};
    }
    if (form.Areas.isEmpty() || form.Areas.size() > kMostChecksPerSheet) {
        return FormFault{QStringLiteral("areas"), QStringLiteral("A sheet holds from 1 to %1 checks; this form has %2. "
                                                                 "Describe 1 to %1 check areas.")
                                                      .arg(kMostChecksPerSheet)
                                                      .arg(form.Areas.size())};
    }
    for (qsizetype a = 0; a < form.Areas.size(); ++a) {
        const FormArea &area = form.Areas[a];
        if (auto fault = rectFault(area.Check, form.Page, areaPath(a) + QStringLiteral(".check"),
                                   QStringLiteral("check %1").arg(a + 1))) {
            return fault;
        }
        if (area.Check.height() <= kMicrClearBand) {
            return FormFault{
                areaPath(a) + QStringLiteral(".check"),
                QStringLiteral("Check %1 is no taller than its 5/8 inch MICR clear band. Make it taller.").arg(a + 1)};
        }
        for (qsizetype s = 0; s < area.Stubs.size(); ++s) {
            if (auto fault = rectFault(area.Stubs[s], form.Page, areaPath(a) + QStringLiteral(".stubs[%1]").arg(s),
                                       QStringLiteral("stub %1 of check %2").arg(s + 1).arg(a + 1))) {
                return fault;
            }
        }
        for (qsizetype i = 0; i < area.Items.size(); ++i) {
            if (auto fault = itemFault(form, a, i)) {
                return fault;
            }
        }
    }
    return std::nullopt;
}
