// Any form the window can hold, made straight from the bytes: the card rebuilt from it settles
// by the second rebuild. The input is text cut into pieces at U+001F: the 25 boxes, the six
// preferred marks (odd characters tick), the e-mail addresses and their types (each list cut at
// U+001E), the birthday (YYYY-MM-DD), then photo rows as pairs of property part and data.
#include "fuzzsupport.h"

namespace {

// Rows from cards and new pictures always have a PhotoType that reads back as itself, and the
// form JSON takes no other: made one of those when it is not.
QString photoTypeOf(const QString& piece) {
    if (pennacle::isPhotoType(piece))
        return piece;
    QString part = piece;
    part.remove(u':').remove(u'\r').remove(u'\n');
    while (part.startsWith(u' ') || part.startsWith(u'\t'))
        part.remove(0, 1);
    const QString type = part + u':';
    return pennacle::isPhotoType(type) ? type : QStringLiteral("PHOTO;") + type;
}

pennacle::CardForm formOf(const QString& text) {
    const QStringList pieces = text.split(QChar(0x1F));
    pennacle::CardForm form;
    for (int i = 0; i < pennacle::kFieldCount && i < pieces.size(); ++i) {
        form.txtTextbox[size_t(i)] = pieces[i];
    }
    const QString marks = pieces.value(25);
    for (int k = 0; k < pennacle::kPhoneKindCount && k < marks.size(); ++k) {
        form.Check1[size_t(k)] = marks[k].unicode() & 1;
    }
    if (pieces.size() > 26)
        form.Combo1 = pieces[26].split(QChar(0x1E));
    if (pieces.size() > 27)
        form.Combo2 = pieces[27].split(QChar(0x1E));
    form.Combo1Index = form.Combo1.isEmpty() ? -1 : 0;
    const QDate birthday = QDate::fromString(pieces.value(28), Qt::ISODate);
    if (birthday.isValid())
        form.dtpBirthday = birthday;
    for (qsizetype i = 29; i + 1 < pieces.size(); i += 2) {
        const int number = static_cast<int>(form.photos.size()) + 1;
        form.photos.push_back(
            {QStringLiteral("Photo %1").arg(number), pieces[i + 1], photoTypeOf(pieces[i])});
    }
    form.photoIndex = form.photos.empty() ? 0 : 1;
    return form;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const pennacle::CardForm form = formOf(fuzz::textOf(data, size));
    fuzz::checkRebuildSettles(form);
    return 0;
}
