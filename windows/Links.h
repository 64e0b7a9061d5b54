#pragma once

#include <QString>

// The web addresses and telephone number the program shows or opens, kept in one place.
// Placeholder values on reserved example domains until the real ones are known.
namespace Links {

inline const QString MakerName = QStringLiteral("ORVANTIS Co");
inline const QString MakerDomain = QStringLiteral("orvantis.example");
inline const QString HomePage = QStringLiteral("http://www.orvantis.example/");
inline const QString StoreHost = QStringLiteral("https://store.example.net");
inline const QString ZenfoldItem = QStringLiteral("ZF-1001");
inline const QString BrightledgeItem = QStringLiteral("BL-1002");
inline const QString VendorHost = QStringLiteral("https://www.deluxe.example.com");
inline const QString VendorTollFree = QStringLiteral("1-800-555-0147");
inline const QString PriorityCode = QStringLiteral("T52731");
inline const QString ReferralAccount = QStringLiteral("100200");

// The store's purchase page of one product.
QString StorePage(const QString &itemCode);
// The forms vendor's referral page: the maker's domain, home page and account, and the priority code.
QString ReferralPage();

} // namespace Links
