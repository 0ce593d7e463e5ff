// The viewer program: shows the card stored in its own resources. It reads no command line.
#include "ViewerApp.h"

namespace {
CCardViewerApp g_cardViewer;
}

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int showCommand)
{
    return TheViewerApp().Run(module, showCommand);
}
