#pragma once
#include "ViewerCopyMessages.h"
#include "ViewerCopyWriter.h"

#include <functional>

// Saves the card into a file at the given path; false when the save failed.
using CardSaver = std::function<bool(const char* path)>;

// Saving a card as a viewer program: the card is saved into a temporary file (prefix "afx"), the
// template is copied onto targetPath and the card file is stored in the copy's resources. Each failure
// is told to the user through report; the temporary file is always deleted, and a copy that did not
// receive its card is deleted too. Answers true when the viewer program was written.
bool SaveCardToViewer(const char* templatePath, const char* targetPath, const CardSaver& saveCard,
                      const MessageSink& report);
