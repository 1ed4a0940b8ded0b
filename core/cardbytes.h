#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace pennacle {

// The two encodings a card is held in: UTF-8 (also what UTF-16 files and every rebuilt card
// become) and Windows-1252.
enum class CardEncoding : quint8 { Utf8, Ansi };

// A card as the bytes of its file, exactly as read, with the encoding they are in. Nothing is
// decoded until a card is shown, searched or rebuilt, and a card nobody edits is saved as
// these bytes, whatever they hold.
class CardBytes {
public:
    CardBytes() = default;
    CardBytes(QByteArray bytes, CardEncoding encoding)
        : bytes_(std::move(bytes)), encoding_(encoding) {}
    // A card given as text (typed, rebuilt, written by a test) is held as UTF-8.
    CardBytes(QStringView text) : bytes_(text.toUtf8()) {}
    CardBytes(const QString& text) : CardBytes(QStringView(text)) {}

    const QByteArray& bytes() const { return bytes_; }
    CardEncoding encoding() const { return encoding_; }
    qsizetype size() const { return bytes_.size(); }
    bool isEmpty() const { return bytes_.isEmpty(); }
    // The card's text: invalid UTF-8 as U+FFFD, each Windows-1252 byte as its character.
    QString text() const;

    bool operator==(const CardBytes&) const = default;

private:
    QByteArray bytes_;
    CardEncoding encoding_ = CardEncoding::Utf8;
};

// Appends the text of bytes in an encoding, as CardBytes::text decodes a whole card (a mark
// at the start of UTF-8 bytes is a character of the text: the file's own mark is never part
// of a card).
void appendDecoded(QString& out, QByteArrayView bytes, CardEncoding encoding);
QString decodeText(QByteArrayView bytes, CardEncoding encoding);

}  // namespace pennacle
