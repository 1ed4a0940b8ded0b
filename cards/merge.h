#pragma once

#include "cards/cardform.h"
#include "core/cardbytes.h"
#include "core/guard.h"

#include <QDateTime>

#include <array>
#include <vector>

namespace pennacle {

// Which contact of a group each part of the merged contact comes from (indexes into the
// group), and what is kept from all of them.
struct MergeChoices {
    std::array<int, kFieldCount> field{};  // per box; the phone boxes also bring their mark
    int birthday = 0;
    bool allEmails = true;  // every address of every contact, each once
    bool allPhones = true;  // numbers not chosen for a box stay as lines of their own
    bool allNotes = true;   // every different note, one after another
};

// For each box the first contact that fills it; everything kept from all.
MergeChoices defaultMergeChoices(const std::vector<CardForm>& forms);

// One contact made of a group's forms. Every line that no box shows is kept from every card,
// each distinct line once, photos likewise; only the first card's UID is kept.
CardForm mergedForm(const std::vector<CardForm>& forms, const MergeChoices& choices);

// The merged contact's card, as the rebuild writes the merged form.
CardBytes mergeCards(const std::vector<CardForm>& forms, const MergeChoices& choices,
                     const QDateTime& now, Reporter& reporter);

}  // namespace pennacle
