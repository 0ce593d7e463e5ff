#include "ViewerDocProperties.h"

int CCardViewerDocProperties::OnLoadProperties(CViewerPropertyBag& bag)
{
    m_storedPrintBackground = bag.GetValue("PrintBackgnd", m_printBackground);
    return 0;
}
