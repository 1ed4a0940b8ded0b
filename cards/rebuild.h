#pragma once

#include "cards/cardform.h"
#include "core/contactentry.h"
#include "core/guard.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>
#include <span>

namespace pennacle {

// "HOME;VOICE", "HOME;FAX", "WORK;VOICE", "WORK;FAX", "CELL", "PAGER" for kinds 0 to 5,
// "DATA", "VOICE", "FAX" for 6 to 8, and the empty text for any other kind.
QString PhoneTypeParams(int kind);
// ";PREF" when the preferred box of that phone kind is ticked, otherwise the empty text.
QString PrefParam(const CardForm& form, int kind);
// Year in four digits, since readers take the first four as the year ("0985"), then two-digit
// month and day: "19800305".
QString FormatVCardDate(const QDate& date);
// Two-digit hour (0-23), minute and second: "210507".
QString FormatVCardTime(const QTime& time);

// Whether the card composed from the form has a home or work address line: any of its boxes
// filled, or a part of it that no box shows.
bool writesAddress(const CardForm& form, bool work);

// The card composed from the form in the fixed vCard 2.1 layout, REV taken from `now`, in
// UTF-8. Lines are joined by CR LF and nothing follows "END:VCARD". Guarded
// ("in Pennacle2021/08/31.Form1.txtTextbox_Change "): a failing line is reported and left out.
CardBytes rebuildCard(const CardForm& form, const QDateTime& now, Reporter& reporter);

// The whole edit-time rebuild: composes the card from the form as the new card of the current
// row, shown by the name that import gives the new card; the caller stores it. None for an
// empty list, or when no row is current (reported). The caller skips it while it fills or
// clears the form itself.
std::optional<CardReplacement> rebuildCurrentCard(std::span<const ContactEntry> contacts,
                                                  qsizetype currentRow, const CardForm& form,
                                                  const QDateTime& now, Reporter& reporter);

// The contact that "New Contact" adds: the card of an empty form, listed as "(no name)" until a
// name is typed.
ContactEntry newContact(const QDateTime& now, Reporter& reporter);

}  // namespace pennacle
