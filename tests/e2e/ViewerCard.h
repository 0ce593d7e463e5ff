#pragma once
// The viewer's side: a card file read whole by the viewer's document model.
#include <string>
#include <vector>

#include "CardSummary.h"

namespace viewercard {

enum class Outcome { kLoaded, kRefused };

// Reads the file's bytes as the viewer reads an embedded card; on success fills card with what
// the viewer's document holds. A refused card leaves card empty and names the reason in error.
Outcome ReadCard(const std::vector<unsigned char>& file, cardsummary::CardSummary& card, std::string& error);

}  // namespace viewercard
