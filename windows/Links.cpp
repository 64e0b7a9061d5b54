#include "windows/Links.h"

#include <QUrl>

namespace Links {

QString StorePage(const QString &itemCode) {
    return StoreHost + QStringLiteral("/softsell/nph-softsell.cgi?item=") + itemCode;
}

QString ReferralPage() {
    const QString encodedHome = QString::fromLatin1(QUrl::toPercentEncoding(HomePage));
    return VendorHost + QStringLiteral("/referral.cfm?name=") + MakerDomain + QStringLiteral("&url=") + encodedHome +
           QStringLiteral("&button=&logo=&keycode=") + PriorityCode + QStringLiteral("&id=") + ReferralAccount;
}

} // namespace Links
