#pragma once

#include <QByteArrayView>

#include <optional>

namespace pennacle {

// Where a property's value stands in a card's bytes, for readers of large Base64 values that
// take the value straight from the card rather than from its joined line.

// The start of the value of a property line.
struct ValueStart {
    qsizetype at = -1;  // just after the ":" that ends the property part; -1 when none does
    // The property part, when the first physical line holds its ":" outside quotes; none when
    // the part is folded over lines (it then ends at the first ":" after it).
    std::optional<QByteArrayView> part;
    QByteArrayView firstLine;  // the value's piece of the first physical line, with a part
};

// Where the value of the property line starting at lineOffset starts.
ValueStart valueStartAt(QByteArrayView card, qsizetype lineOffset, char lineBreak);

// Where a value that starts at `start` ends with its logical line, folded lines included: the
// index of the last physical line's line break, or the card's size.
qsizetype foldedLineEnd(QByteArrayView card, qsizetype start, char lineBreak);

// Where Base64 data that start at `start` end: just after the first "=", but never in the next
// property line nor past the empty line that closes the value.
qsizetype base64ValueEnd(QByteArrayView card, qsizetype start, char lineBreak);

// Whether a value opens with a URI scheme: letters before its first ":" (Base64 has no ":").
bool opensWithScheme(QByteArrayView value);

}  // namespace pennacle
