#pragma once
#include <windows.h>

class CViewerDoc;

// The toolbar of the main frame: the six tool buttons with their tooltips.
class CViewerToolbar
{
public:
    CViewerToolbar() = default;
    virtual ~CViewerToolbar();
    CViewerToolbar(const CViewerToolbar&) = delete;
    CViewerToolbar& operator=(const CViewerToolbar&) = delete;

    virtual void AddExtraButtons(const CViewerDoc&) {}

    bool Create(HWND frame, const CViewerDoc& document);
    HWND GetHwnd() const { return m_toolbar; }

    void SetPressed(UINT command, bool pressed);
    void SelectTool(UINT command);
    void Enable(UINT command, bool enabled);
    void AutoSize();
    SIZE MaxSize() const;
    int Height() const;

    void AddTip(int buttonIndex, const char* text);
    // Position -1 appends, -2 inserts at the front, any other value before the button of that command.
    int AddBitmapButton(UINT command, int position, HBITMAP bitmap);
    void AddSeparator();

private:
    HWND m_toolbar = nullptr;
    HWND m_tooltip = nullptr;
};

// The card's toolbar adds one button per site, showing the site's icon.
class CCardViewerToolbar : public CViewerToolbar
{
public:
    void AddExtraButtons(const CViewerDoc& document) override;
};
