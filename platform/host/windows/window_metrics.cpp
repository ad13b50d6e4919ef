// The classic desktop's frame sizes and the dialog fonts' base units.
#include "platform/host/windows/window_metrics.h"

#include "platform/kernel.h"
#include "platform/ui.h"

namespace vtsim::internal {

Insets FrameInsets(DWORD style, DWORD exStyle)
{
    if ((style & WS_CHILD) != 0) {
        return {};
    }
    int frame = 0;
    if ((style & WS_THICKFRAME) != 0) {
        frame = kSizingFrame;
    } else if ((style & WS_DLGFRAME) != 0 || (exStyle & WS_EX_DLGMODALFRAME) != 0) {
        frame = kDialogFrame;
    } else if ((style & WS_BORDER) != 0) {
        frame = 1;
    }
    int caption = 0;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        caption = (exStyle & WS_EX_TOOLWINDOW) != 0 ? kToolCaptionHeight : kCaptionHeight;
    }
    return {frame, frame + caption, frame, frame};
}

BaseUnits FontBaseUnits(std::u16string_view, int pointSize)
{
    constexpr int kReferencePoints = 8;
    constexpr BaseUnits kReference{6, 13};
    if (pointSize <= 0) {
        return kSystemFontBaseUnits;
    }
    return {MulDiv(kReference.x, pointSize, kReferencePoints),
            MulDiv(kReference.y, pointSize, kReferencePoints)};
}

}  // namespace vtsim::internal
