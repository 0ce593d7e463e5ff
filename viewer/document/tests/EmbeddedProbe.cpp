// A stand-in for the viewer program in tests: it reads the card stored in its own resources and
// prints what it read into the file named by its argument.
#include "CardDump.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pavane-embedded-probe <output file>\n");
        return 1;
    }
    CCardViewerDoc doc;
    const CardLoadResult result = doc.Load(CViewerDoc::kCardResourceType, 0);
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out)
        return 2;
    PrintCard(out, doc, result);
    std::fclose(out);
    return 0;
}
