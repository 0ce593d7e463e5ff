#include "SitesContours.h"

CSitesContours::~CSitesContours()
{
    Clear();
}

void CSitesContours::Clear()
{
    for (int i = 0; i < GetSize(); ++i) {
        delete[] ElementAt(i).segments;
        ElementAt(i).segments = nullptr;
    }
    RemoveAll();
}
