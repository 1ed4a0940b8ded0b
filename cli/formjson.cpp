#include "cli/formjson.h"

#include "cards/loader.h"
#include "cards/photohead.h"
#include "core/guard.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>

#include <cmath>

namespace pennacle::cli {

namespace {

// --- writing -------------------------------------------------------------------------------
// Written by hand because the keys must keep the form's order, which QJsonObject sorts away.

// The bytes a character takes in a JSON string: UTF-8, or an escape. A lone surrogate has no
// UTF-8 form; the \u escape keeps it. So does it keep U+FEFF, which Qt's JSON reader drops as
// a byte order mark when it opens a string.
enum class JsonForm { Plain, Short, Unicode, Utf8, Pair };

JsonForm jsonFormOf(const char16_t* text, qsizetype i, qsizetype n) {
    const char16_t u = text[i];
    switch (u) {
        case u'"':
        case u'\\':
        case u'\n':
        case u'\r':
        case u'\t':
            return JsonForm::Short;
        default:
            break;
    }
    if (u < 0x20 || u == 0xFEFF)
        return JsonForm::Unicode;
    if (u < 0x80)
        return JsonForm::Plain;
    if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(text[i + 1]))
        return JsonForm::Pair;
    return QChar::isSurrogate(u) ? JsonForm::Unicode : JsonForm::Utf8;
}

// Written in two passes, the first counting the bytes, so that a note of many megabytes is
// sized once rather than grown character by character.
void appendJsonString(QByteArray& out, const QString& text) {
    const auto* in = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    qsizetype bytes = 2;
    for (qsizetype i = 0; i < n; ++i) {
        switch (jsonFormOf(in, i, n)) {
            case JsonForm::Plain:
                bytes += 1;
                break;
            case JsonForm::Short:
                bytes += 2;
                break;
            case JsonForm::Unicode:
                bytes += 6;
                break;
            case JsonForm::Utf8:
                bytes += in[i] < 0x800 ? 2 : 3;
                break;
            case JsonForm::Pair:
                bytes += 4;
                ++i;
                break;
        }
    }
    const qsizetype start = out.size();
    out.resize(start + bytes);
    char* o = out.data() + start;
    *o++ = '"';
    static constexpr char kHex[] = "0123456789abcdef";
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = in[i];
        switch (jsonFormOf(in, i, n)) {
            case JsonForm::Plain:
                *o++ = char(u);
                break;
            case JsonForm::Short:
                *o++ = '\\';
                *o++ = u == u'\n' ? 'n' : u == u'\r' ? 'r' : u == u'\t' ? 't' : char(u);
                break;
            case JsonForm::Unicode:
                *o++ = '\\';
                *o++ = 'u';
                for (int shift = 12; shift >= 0; shift -= 4)
                    *o++ = kHex[(u >> shift) & 0xF];
                break;
            case JsonForm::Utf8:
                if (u < 0x800) {
                    *o++ = char(0xC0 | (u >> 6));
                } else {
                    *o++ = char(0xE0 | (u >> 12));
                    *o++ = char(0x80 | ((u >> 6) & 0x3F));
                }
                *o++ = char(0x80 | (u & 0x3F));
                break;
            case JsonForm::Pair: {
                const char32_t code = QChar::surrogateToUcs4(u, in[++i]);
                *o++ = char(0xF0 | (code >> 18));
                *o++ = char(0x80 | ((code >> 12) & 0x3F));
                *o++ = char(0x80 | ((code >> 6) & 0x3F));
                *o++ = char(0x80 | (code & 0x3F));
                break;
            }
        }
    }
    *o++ = '"';
}

template <class List, class WriteItem>
void appendArray(QByteArray& out, const List& items, WriteItem writeItem) {
    if (items.empty()) {
        out.append("[]");
        return;
    }
    out.append("[\n");
    bool first = true;
    for (const auto& item : items) {
        if (!first) {
            out.append(",\n");
        }
        first = false;
        out.append("    ");
        writeItem(item);
    }
    out.append("\n  ]");
}

QByteArray dateText(const QDate& date) {
    const QDate shown = date.isValid() ? date : noBirthday();
    return QString::asprintf("%04d-%02d-%02d", shown.year(), shown.month(), shown.day()).toUtf8();
}

// --- reading -------------------------------------------------------------------------------

[[noreturn]] void fail(const QString& message) {
    throw Failure(message);
}

QJsonArray arrayAt(const QJsonObject& object, const QString& key, qsizetype maxSize) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined()) {
        return {};
    }
    if (!value.isArray()) {
        fail(QStringLiteral("\"%1\" must be an array").arg(key));
    }
    const QJsonArray array = value.toArray();
    if (maxSize >= 0 && array.size() > maxSize) {
        fail(QStringLiteral("\"%1\" holds more than %2 entries").arg(key).arg(maxSize));
    }
    return array;
}

QString stringIn(const QJsonValue& value, const QString& where) {
    if (!value.isString()) {
        fail(QStringLiteral("%1 must be a string").arg(where));
    }
    return value.toString();
}

QStringList stringsAt(const QJsonObject& object, const QString& key, qsizetype maxSize = -1) {
    QStringList strings;
    const QJsonArray array = arrayAt(object, key, maxSize);
    for (qsizetype i = 0; i < array.size(); ++i) {
        strings << stringIn(array[i], QStringLiteral("\"%1\"[%2]").arg(key).arg(i));
    }
    return strings;
}

int indexAt(const QJsonObject& object, const QString& key, int missing, int low, int high) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined()) {
        return missing;
    }
    const double number = value.toDouble(-1e300);
    // Tested without converting: a number past the range of an integer has no integer value.
    if (!value.isDouble() || std::trunc(number) != number) {
        fail(QStringLiteral("\"%1\" must be a whole number").arg(key));
    }
    if (number < low || number > high) {
        fail(QStringLiteral("\"%1\" must lie between %2 and %3").arg(key).arg(low).arg(high));
    }
    return int(number);
}

// "YYYY-MM-DD" in digits only: Qt's "yyyy" also takes a signed year, which the writer cannot
// give back in this form and no card holds.
bool isIsoDateText(const QString& text) {
    if (text.size() != 10)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool dash = i == 4 || i == 7;
        if (dash ? text[i] != u'-' : !(text[i] >= u'0' && text[i] <= u'9'))
            return false;
    }
    return true;
}

QDate birthdayAt(const QJsonObject& object) {
    const QJsonValue value = object.value(QStringLiteral("dtpBirthday"));
    if (value.isUndefined()) {
        return noBirthday();
    }
    const QString text = stringIn(value, QStringLiteral("\"dtpBirthday\""));
    const QDate date =
        isIsoDateText(text) ? QDate::fromString(text, QStringLiteral("yyyy-MM-dd")) : QDate();
    if (!date.isValid()) {
        fail(QStringLiteral("\"dtpBirthday\" must be a date written YYYY-MM-DD"));
    }
    return date;
}

PhotoEntry photoFrom(const QJsonValue& value, qsizetype i) {
    const QString where = QStringLiteral("\"photos\"[%1]").arg(i);
    if (!value.isObject()) {
        fail(where + QStringLiteral(" must be an object"));
    }
    const QJsonObject object = value.toObject();
    // A row without a PhotoType gets the head of a new JPEG picture.
    PhotoEntry photo{QString(), QString(), addedPhotoType()};
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString field = where + QStringLiteral(".") + it.key();
        if (it.key() == u"PhotoLabel") {
            photo.PhotoLabel = stringIn(it.value(), field);
        } else if (it.key() == u"PhotoType") {
            photo.PhotoType = stringIn(it.value(), field);
        } else if (it.key() == u"PhotoData") {
            photo.PhotoData = stringIn(it.value(), field);
        } else {
            fail(QStringLiteral("unknown key %1").arg(field));
        }
    }
    return photo;
}

OtherParts otherPartsAt(const QJsonObject& object) {
    const QJsonValue value = object.value(QStringLiteral("otherParts"));
    OtherParts parts;
    if (value.isUndefined())
        return parts;
    if (!value.isObject())
        fail(QStringLiteral("\"otherParts\" must be an object"));
    const QJsonObject members = value.toObject();
    for (auto it = members.begin(); it != members.end(); ++it) {
        const QString where = QStringLiteral("\"otherParts\".%1").arg(it.key());
        if (it.key() == u"nameSuffix")
            parts.nameSuffix = stringIn(it.value(), where);
        else if (it.key() == u"homePostOfficeBox")
            parts.homePostOfficeBox = stringIn(it.value(), where);
        else if (it.key() == u"workPostOfficeBox")
            parts.workPostOfficeBox = stringIn(it.value(), where);
        else if (it.key() == u"workExtendedAddress")
            parts.workExtendedAddress = stringIn(it.value(), where);
        else
            fail(QStringLiteral("unknown key %1").arg(where));
    }
    return parts;
}

void rejectUnknownKeys(const QJsonObject& object) {
    static const QSet<QString> known = {"txtTextbox",  "Check1",      "Combo1", "Combo2",
                                        "Combo1Index", "dtpBirthday", "photos", "photoIndex",
                                        "otherLines",  "otherParts"};
    for (const QString& key : object.keys()) {
        if (!known.contains(key)) {
            fail(QStringLiteral("unknown key \"%1\"").arg(key));
        }
    }
}

}  // namespace

void checkPhotoTypes(const CardForm& form) {
    for (size_t i = 0; i < form.photos.size(); ++i) {
        const PhotoEntry& photo = form.photos[i];
        // Any other text would be written as a line that reads back as something else.
        if (!photo.PhotoData.isEmpty() && !isPhotoType(photo.PhotoType)) {
            fail(QStringLiteral("\"photos\"[%1].PhotoType must be a photo's property part "
                                "followed by \":\", e.g. \"PHOTO;JPEG;BASE64:\"")
                     .arg(i));
        }
    }
}

QByteArray formToJson(const CardForm& form) {
    QByteArray out;
    out.reserve(4096);
    const auto writeString = [&](const QString& text) { appendJsonString(out, text); };

    out.append("{\n  \"txtTextbox\": ");
    appendArray(out, form.txtTextbox, writeString);
    out.append(",\n  \"Check1\": ");
    appendArray(out, form.Check1, [&](bool checked) { out.append(checked ? "true" : "false"); });
    out.append(",\n  \"Combo1\": ");
    appendArray(out, form.Combo1, writeString);
    out.append(",\n  \"Combo2\": ");
    appendArray(out, form.Combo2, writeString);
    out.append(",\n  \"Combo1Index\": ").append(QByteArray::number(form.Combo1Index));
    out.append(",\n  \"dtpBirthday\": \"").append(dateText(form.dtpBirthday)).append('"');
    out.append(",\n  \"photos\": ");
    appendArray(out, form.photos, [&](const PhotoEntry& photo) {
        out.append("{\"PhotoLabel\": ");
        appendJsonString(out, photo.PhotoLabel);
        out.append(", \"PhotoType\": ");
        appendJsonString(out, photo.PhotoType);
        out.append(", \"PhotoData\": ");
        appendJsonString(out, photo.PhotoData);
        out.append('}');
    });
    out.append(",\n  \"photoIndex\": ").append(QByteArray::number(form.photoIndex));
    out.append(",\n  \"otherLines\": ");
    appendArray(out, form.otherLines.toList(), writeString);
    const OtherParts& parts = form.otherParts;
    out.append(",\n  \"otherParts\": {\"nameSuffix\": ");
    writeString(parts.nameSuffix);
    out.append(", \"homePostOfficeBox\": ");
    writeString(parts.homePostOfficeBox);
    out.append(", \"workPostOfficeBox\": ");
    writeString(parts.workPostOfficeBox);
    out.append(", \"workExtendedAddress\": ");
    writeString(parts.workExtendedAddress);
    out.append("}\n}\n");
    return out;
}

CardForm formFromJson(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        fail(QStringLiteral("not valid JSON at offset %1: %2")
                 .arg(error.offset)
                 .arg(error.errorString()));
    }
    if (!document.isObject()) {
        fail(QStringLiteral("the form must be a JSON object"));
    }
    const QJsonObject object = document.object();
    rejectUnknownKeys(object);

    CardForm form;
    const QStringList texts = stringsAt(object, QStringLiteral("txtTextbox"), kFieldCount);
    std::copy(texts.begin(), texts.end(), form.txtTextbox.begin());

    const QJsonArray checks = arrayAt(object, QStringLiteral("Check1"), kPhoneKindCount);
    for (qsizetype i = 0; i < checks.size(); ++i) {
        if (!checks[i].isBool()) {
            fail(QStringLiteral("\"Check1\"[%1] must be true or false").arg(i));
        }
        form.Check1[size_t(i)] = checks[i].toBool();
    }

    form.Combo1 = stringsAt(object, QStringLiteral("Combo1"));
    form.Combo2 = stringsAt(object, QStringLiteral("Combo2"));
    const auto addresses = int(form.Combo1.size());
    if (form.Combo2.size() > addresses) {
        fail(QStringLiteral("\"Combo2\" holds more entries than \"Combo1\""));
    }
    // Each address has a type entry, if only an empty one.
    while (form.Combo2.size() < addresses) {
        form.Combo2 << QString();
    }
    form.Combo1Index =
        indexAt(object, QStringLiteral("Combo1Index"), addresses > 0 ? 0 : -1, -1, addresses - 1);

    form.dtpBirthday = birthdayAt(object);

    const QJsonArray photos = arrayAt(object, QStringLiteral("photos"), -1);
    for (qsizetype i = 0; i < photos.size(); ++i) {
        form.photos.push_back(photoFrom(photos[i], i));
    }
    const auto photoCount = int(form.photos.size());
    form.photoIndex =
        indexAt(object, QStringLiteral("photoIndex"), photoCount > 0 ? 1 : 0, 0, photoCount);
    const QStringList others = stringsAt(object, QStringLiteral("otherLines"));
    for (qsizetype i = 0; i < others.size(); ++i) {
        // Written back as it stands, a line must not be able to end the card or start another.
        if (!isOtherLine(others[i]))
            fail(QStringLiteral("\"otherLines\"[%1] must be one property line, with only folded "
                                "lines or Base64 data after it")
                     .arg(i));
        form.otherLines.append(others[i]);
    }
    form.otherParts = otherPartsAt(object);
    return form;
}

}  // namespace pennacle::cli
