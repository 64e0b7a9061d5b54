#pragma once

#include "forms/CheckForm.h"

#include <QList>
#include <QString>

#include <optional>

// The forms that come with the program; read-only, the person copies one to change it.
inline const QString kFormThreeOnAPage = QStringLiteral("Deluxe 3-On-A-Page");
inline const QString kFormWalletSize = QStringLiteral("Deluxe Wallet-Size");
inline const QString kFormVoucherTop = QStringLiteral("Voucher, Check on Top");
inline const QString kFormVoucherMiddle = QStringLiteral("Voucher, Check in Middle");
inline const QString kFormVoucherBottom = QStringLiteral("Voucher, Check on Bottom");

// Every built-in form, in the order a list shows them.
const QList<CheckForm> &BuiltInForms();
// The built-in form of that name (letter case ignored), or none.
std::optional<CheckForm> BuiltInForm(const QString &name);
