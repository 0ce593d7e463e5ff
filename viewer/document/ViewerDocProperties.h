#pragma once
#include "ViewerPersistent.h"

class CViewerDocProperties : public CViewerPersistent
{
public:
    CViewerDocProperties() : CViewerPersistent("CTarnDocProperties") {}

protected:
    explicit CViewerDocProperties(const char* className) : CViewerPersistent(className) {}
};

// The card document's properties. Card files written by the card application carry no
// "PrintBackgnd"; those cards print their backgrounds, as the card application does by default.
class CCardViewerDocProperties : public CViewerDocProperties
{
public:
    static const int kDefaultPrintBackground = 1;

    CCardViewerDocProperties() : CViewerDocProperties("CKDXDocProperties") {}
    int OnLoadProperties(CViewerPropertyBag& bag) override;

    int GetPrintBackground() const { return m_printBackground; }
    bool HasStoredPrintBackground() const { return m_storedPrintBackground; }

private:
    int m_printBackground = kDefaultPrintBackground;
    bool m_storedPrintBackground = false;
};
