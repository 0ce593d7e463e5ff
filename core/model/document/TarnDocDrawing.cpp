#include "TarnDoc.h"
#include "TarnSite.h"

void CTarnDoc::OnDraw(HDC dc, CDrawOptions* options, int id)
{
    if (CTarnSite* site = GetSite(id)) site->OnDraw(dc, options);
}
