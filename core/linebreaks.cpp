#include "core/linebreaks.h"

namespace pennacle {

QString withLfBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QString withCrLfBreaks(QString text) {
    const auto* in = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();
    qsizetype added = 0;
    for (qsizetype i = QStringView(text).indexOf(u'\r'); i >= 0;
         i = QStringView(text).indexOf(u'\r', i + 1)) {
        if (i + 1 < size && in[i + 1] == u'\n')
            continue;
        ++added;  // a lone CR gets its LF
    }
    for (qsizetype i = QStringView(text).indexOf(u'\n'); i >= 0;
         i = QStringView(text).indexOf(u'\n', i + 1)) {
        if (i > 0 && in[i - 1] == u'\r')
            continue;
        ++added;  // a lone LF gets its CR
    }
    if (added == 0)
        return text;
    QString result(size + added, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i];
        if (c == u'\r' || c == u'\n') {
            *out++ = u'\r';
            *out++ = u'\n';
            if (c == u'\r' && i + 1 < size && in[i + 1] == u'\n')
                ++i;
        } else {
            *out++ = c;
        }
    }
    return result;
}

}  // namespace pennacle
