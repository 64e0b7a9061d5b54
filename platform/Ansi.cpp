#include "platform/Ansi.h"

namespace {

// Windows-1252 bytes 0x80 to 0x9F; 0 marks the five bytes the code page leaves undefined.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The byte for a character, or -1 when the code page has none.
int byteFor(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return c;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] != 0 && kHigh[i] == c) {
            return 0x80 + i;
        }
    }
    return -1;
}

} // namespace

QByteArray ToAnsi(const QString &text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A character outside the basic plane is one character, so one "?", not one per half.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        }
        const int b = byteFor(c.unicode());
        bytes.append(b < 0 ? '?' : static_cast<char>(b));
    }
    return bytes;
}

QString FromAnsi(const QByteArray &bytes) {
    QString text;
    text.reserve(bytes.size());
    for (char raw : bytes) {
        const auto b = static_cast<unsigned char>(raw);
        if (b >= 0x80 && b <= 0x9F) {
            const char16_t c = kHigh[b - 0x80];
            text.append(QChar(c == 0 ? char16_t(0xFFFD) : c));
        } else {
            text.append(QChar(char16_t(b)));
        }
    }
    return text;
}

QChar FirstNonAnsi(const QString &text) {
    for (QChar c : text) {
        if (byteFor(c.unicode()) < 0) {
            return c;
        }
    }
    return QChar();
}

bool FitsAnsi(const QString &text) {
    return FirstNonAnsi(text).isNull();
}
