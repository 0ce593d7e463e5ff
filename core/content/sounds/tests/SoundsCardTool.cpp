// Helper of the independent "Sounds" check: sounds-cardtool <card> <compressed 0|1> saves the
// sample card with its sounds through the card document.
#include <cstdlib>

#include "CardControls.h"
#include "CardFixtures.h"
#include "SoundsCard.h"

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    CoInitialize(nullptr);
    int result = 2;
    {
        TestControlClasses classes;
        // The compressed-storage classes first: the document takes its wrapper when it is made.
        const bool registered = RegisterCompressedStorage();
        CTestCardDoc doc;
        if (registered && doc.OnNewDocument()) {
            FillSampleCard(doc);
            FillSampleSounds(*doc.GetSoundStore());
            doc.SetSaveCompressedData(std::atoi(argv[2]) != 0);
            result = doc.OnSaveDocument(argv[1]) ? 0 : 1;
        }
    }
    CoUninitialize();
    return result;
}
