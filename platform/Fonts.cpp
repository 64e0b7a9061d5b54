#include "platform/Fonts.h"

#include "platform/Units.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QStringList>

QString ArialCompatibleFace() {
    static const QString face = [] {
        const QStringList families = QFontDatabase::families();
        for (const QString &candidate : {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")}) {
            if (families.contains(candidate)) {
                return candidate;
            }
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return face;
}

void InstallFontSubstitutions() {
    const QString face = ArialCompatibleFace();
    for (const QString &name : {QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"), QStringLiteral("Ariel")}) {
        if (!QFontDatabase::families().contains(name)) {
            QFont::removeSubstitutions(name);
            QFont::insertSubstitution(name, face);
        }
    }
}

const QPaintDevice &TwipsSurface() {
    static const QImage surface = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        const int dotsPerMeter = qRound(kTwipsPerInch / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return surface;
}
