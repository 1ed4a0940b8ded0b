#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

namespace pennacle {

// The vCard 3.0 and 4.0 line encoding: values escaped with backslashes, lines folded at 75
// octets, CR LF line ends, UTF-8 throughout. The two versions spell lines alike; what a line
// holds is the caller's.

inline constexpr QLatin1StringView kVersion30("VERSION:3.0");
inline constexpr QLatin1StringView kVersion40("VERSION:4.0");
// 2.1's word for an address value (VALUE=URL), written "uri" in 3.0 and 4.0.
inline constexpr QLatin1StringView kUrlValueType("URL");
// The parameter that marks a 3.0 value as Base64 data.
inline constexpr QLatin1StringView kEncodingB("ENCODING=b");

// The longest a physical line may be, in octets, its line end not counted.
inline constexpr qsizetype kFoldWidth = 75;

// Appends one item of a value escaped: "\" "," ";" as "\\" "\," "\;", and every line break
// (CR LF, CR or LF) as "\n", so that the item never ends its list, its component or its line.
void appendEscaped(QString& out, QStringView item);

// Appends a logical line as UTF-8, folded so that no physical line is longer than kFoldWidth
// octets (a fold starts its line with one blank), never inside the bytes of one character,
// then CR LF.
void appendFoldedLine(QByteArray& card, QStringView line);

// Appends a line of ASCII that never needs folding (the frame), then CR LF.
void appendAsciiLine(QByteArray& card, QLatin1StringView line);

// Whether a parameter value must stand in double quotes to keep its meaning: it holds ":",
// ";" or ",".
bool needsQuotes(QStringView parameterValue);

}  // namespace pennacle
