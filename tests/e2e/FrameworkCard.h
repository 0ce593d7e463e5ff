#pragma once
// The framework's side: a card document built from a summary and saved through the document's own
// file code.
#include <string>

#include "CardSummary.h"

namespace frameworkcard {

// Makes the compressed-storage server's classes available in this process (Mosk.dll beside the
// program). False with the reason in error when it cannot.
bool RegisterCompressedStorage(std::string& error);

// Builds the card and saves it to path; false with the document's report in error.
bool SaveCard(const cardsummary::CardSummary& card, const std::string& path, bool compressed, std::string& error);

}  // namespace frameworkcard
