#include "core/cardbytes.h"

#include "core/ansiencoding.h"
#include "core/utf8.h"

#include <QStringDecoder>

namespace pennacle {

QString CardBytes::text() const {
    return decodeText(bytes_, encoding_);
}

void appendDecoded(QString& out, QByteArrayView bytes, CardEncoding encoding) {
    if (isAscii(bytes)) {
        // Most lines: ASCII reads the same in both encodings, and is only widened.
        out.append(QLatin1StringView(bytes.data(), bytes.size()));
        return;
    }
    if (encoding == CardEncoding::Ansi) {
        appendDecodedAnsi(out, bytes);
        return;
    }
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                       QStringConverter::Flag::Stateless);
    const qsizetype old = out.size();
    out.resize(old + decoder.requiredSpace(bytes.size()));
    const QChar* end = decoder.appendToBuffer(out.data() + old, bytes);
    out.truncate(end - out.constData());
}

QString decodeText(QByteArrayView bytes, CardEncoding encoding) {
    QString text;
    appendDecoded(text, bytes, encoding);
    return text;
}

}  // namespace pennacle
