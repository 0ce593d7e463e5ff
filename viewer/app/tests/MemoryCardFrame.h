#pragma once
// The card a frame under test shows, read from memory instead of the program's resources.
#include "CardComposer.h"
#include "ViewerApp.h"
#include "ViewerDoc.h"

#include <memory>

class CMemoryCardDoc : public CCardViewerDoc
{
public:
    explicit CMemoryCardDoc(const cardcomposer::Bytes& card) : m_card(card) {}
    CardLoadResult Load(WORD, int, HMODULE) override { return LoadCardFile(m_card.data(), m_card.size()); }

private:
    cardcomposer::Bytes m_card;
};

class CMemoryCardFrame : public CCardViewerFrame
{
public:
    explicit CMemoryCardFrame(const cardcomposer::Bytes& card) : m_card(card) {}
    std::unique_ptr<CViewerDoc> CreateDocument() const override { return std::make_unique<CMemoryCardDoc>(m_card); }

private:
    cardcomposer::Bytes m_card;
};
