#pragma once

#include <QString>

namespace pennacle {

// A light cipher that keeps a stored text from being read at a glance; it is no protection.
// The text's UTF-8 bytes are shifted one by one by the codes of the key's letters in turn
// (a + k, less 255 above 255) and the result is returned as Latin-1 text, one character from
// U+0001 to U+00FF per byte, so that any character of the text survives. `key` is ASCII.
QString ScrambleText(const QString& text, const QString& key);

// The reverse walk (a - k, plus 255 below 1), decoded as UTF-8. Every text without NUL comes
// back as it was scrambled; characters above U+00FF in `scrambled` count as "?".
QString UnscrambleText(const QString& scrambled, const QString& key);

}  // namespace pennacle
