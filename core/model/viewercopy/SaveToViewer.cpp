#include "SaveToViewer.h"

#include "TemporaryFile.h"

namespace {

bool TemplateExists(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

}  // namespace

bool SaveCardToViewer(const char* templatePath, const char* targetPath, const CardSaver& saveCard,
                      const MessageSink& report)
{
    UserMessage message;
    if (!TemplateExists(templatePath)) {
        message.id = kMsgViewerTemplateMissing;
        message.argument = templatePath;
        report(message);
        return false;
    }
    CTemporaryFile card("afx");
    if (!card.IsValid() || !saveCard(card.Path().c_str())) {
        message.id = kMsgCardSaveFailed;
        report(message);
        return false;
    }
    const ViewerCopyResult result = WriteViewerCopy(templatePath, card.Path().c_str(), targetPath);
    switch (result.status) {
    case ViewerCopyStatus::kWritten:
        return true;
    case ViewerCopyStatus::kTemplateMissing:
        message.id = kMsgViewerTemplateMissing;
        message.argument = templatePath;
        break;
    case ViewerCopyStatus::kCopyFailed:
        message.id = kMsgViewerCopyCaption;
        message.systemError = result.systemError;
        break;
    case ViewerCopyStatus::kCardUnreadable:
        message.id = kMsgCardSaveFailed;
        break;
    case ViewerCopyStatus::kUpdateNotStarted:
    case ViewerCopyStatus::kChunkRefused:
    case ViewerCopyStatus::kUpdateNotFinished:
        message.id = kMsgViewerCopyNotWritten;
        break;
    }
    report(message);
    return false;
}
