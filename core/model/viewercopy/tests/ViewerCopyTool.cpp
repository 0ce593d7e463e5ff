// Saves a card file as a viewer program the way the save-as-viewer command does:
//   viewercopy_tool <template> <card file> <new program>
#include "SaveToViewer.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: viewercopy_tool <template> <card file> <new program>\n");
        return 4;
    }
    const char* cardPath = argv[2];
    const CardSaver copyCard = [cardPath](const char* path) { return CopyFileA(cardPath, path, FALSE) != FALSE; };
    const MessageSink print = [](const UserMessage& message) {
        std::fprintf(stderr, "message %u: %s\n", message.id, UserMessageText(message).c_str());
    };
    return SaveCardToViewer(argv[1], argv[3], copyCard, print) ? 0 : 1;
}
