#pragma once

// The photo blocks of a written card, for checks on what the rebuild wrote, and a picture Qt
// reads but cannot write.

#include <QByteArray>
#include <QString>
#include <QStringList>

// The data of every photo block ("PHOTO..." or "X-MS-CARDPICTURE..." and its continuation
// lines, which start with two blanks), joined.
inline QStringList writtenPhotoData(const QString& card) {
    QStringList data;
    const QStringList lines = card.split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString part = lines[i].section(u':', 0, 0);
        if (lines[i].startsWith(u' ') || (!part.contains(QLatin1String("PHOTO")) &&
                                          !part.contains(QLatin1String("X-MS-CARDPICTURE"))))
            continue;
        QString joined = lines[i].mid(part.size() + 1);
        while (i + 1 < lines.size() && lines[i + 1].startsWith(QLatin1String("  ")))
            joined += lines[++i].mid(2);
        data << joined;
    }
    return data;
}

// A GIF of one yellow pixel.
inline QByteArray yellowGif() {
    return QByteArray::fromBase64("R0lGODlhAQABAIAAAP//AAAAACwAAAAAAQABAAACAkQBADs=");
}
