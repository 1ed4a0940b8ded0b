#include "core/scramble.h"

#include <QByteArray>

namespace pennacle {

namespace {

// The lists are short, so the whole walk runs at once, without giving the event queue a turn.
template <class Shift>
QByteArray walk(const QByteArray& bytes, const QString& key, Shift shift) {
    const QByteArray keyBytes = key.toLatin1();
    if (keyBytes.isEmpty())
        return bytes;
    QByteArray result(bytes.size(), Qt::Uninitialized);
    qsizetype j = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int a = static_cast<unsigned char>(bytes[i]);
        const int k = static_cast<unsigned char>(keyBytes[j]);
        j = j + 1 < keyBytes.size() ? j + 1 : 0;
        result[i] = static_cast<char>(shift(a, k));
    }
    return result;
}

}  // namespace

QString ScrambleText(const QString& text, const QString& key) {
    return QString::fromLatin1(walk(text.toUtf8(), key, [](int a, int k) {
        const int v = a + k;
        return v > 255 ? v - 255 : v;
    }));
}

QString UnscrambleText(const QString& scrambled, const QString& key) {
    return QString::fromUtf8(walk(scrambled.toLatin1(), key, [](int a, int k) {
        const int v = a - k;
        return v < 1 ? v + 255 : v;
    }));
}

}  // namespace pennacle
