// The "Static" class: labels, frames and pictures. A picture (SS_BITMAP)
// loads its bitmap from the resource its creation text names, and sizes
// itself to its bitmap unless SS_REALSIZECONTROL or SS_CENTERIMAGE asks
// otherwise; a bitmap it loaded itself is deleted with it, one set with
// STM_SETIMAGE belongs to whoever set it.
#include "platform/host/windows/bitmaps.h"
#include "platform/host/windows/window_classes.h"

namespace vtsim::internal {
namespace {

bool IsPicture(DWORD style)
{
    return (style & SS_TYPEMASK) == SS_BITMAP;
}

// Sets the picture's bitmap and, when the style asks for it, its size.
// Returns the previous bitmap. Lock held.
HBITMAP SetPictureLocked(Window& self, HBITMAP bitmap, bool owned)
{
    HBITMAP previous = self.picture.bitmap;
    self.picture.bitmap = bitmap;
    self.picture.ownsBitmap = owned;
    if ((self.style & (SS_REALSIZECONTROL | SS_CENTERIMAGE)) == 0) {
        if (std::shared_ptr<const BitmapPixels> pixels = BitmapOf(bitmap)) {
            self.width = pixels->width;
            self.height = pixels->height;
        }
    }
    return previous;
}

void LoadTemplatePicture(HWND window, const CREATESTRUCTW& create)
{
    if (create.lpszName == nullptr ||
        (!IS_INTRESOURCE(create.lpszName) && create.lpszName[0] == 0)) {
        return;
    }
    HBITMAP bitmap = LoadBitmapW(create.hInstance, create.lpszName);
    if (bitmap == nullptr) {
        return;
    }
    WindowLock lock = LockWindows();
    if (Window* self = FindWindowLocked(window)) {
        SetPictureLocked(*self, bitmap, true);
    }
}

}  // namespace

LRESULT CALLBACK StaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (create != nullptr && IsPicture(static_cast<DWORD>(create->style))) {
            LoadTemplatePicture(window, *create);
        }
        return 0;
    }
    case STM_SETIMAGE: {
        if (wParam != IMAGE_BITMAP) {
            return 0;
        }
        // The previous bitmap goes to the caller, who deletes it, also the
        // one the control loaded itself.
        WindowLock lock = LockWindows();
        Window* self = FindWindowLocked(window);
        if (self == nullptr || !IsPicture(self->style)) {
            return 0;
        }
        return reinterpret_cast<LRESULT>(
            SetPictureLocked(*self, reinterpret_cast<HBITMAP>(lParam), false));
    }
    case STM_GETIMAGE: {
        WindowLock lock = LockWindows();
        Window* self = FindWindowLocked(window);
        return self == nullptr || wParam != IMAGE_BITMAP
                   ? 0
                   : reinterpret_cast<LRESULT>(self->picture.bitmap);
    }
    case WM_DESTROY: {
        HBITMAP owned = nullptr;
        {
            WindowLock lock = LockWindows();
            Window* self = FindWindowLocked(window);
            if (self != nullptr && self->picture.ownsBitmap) {
                owned = self->picture.bitmap;
                self->picture = {};
            }
        }
        if (owned != nullptr) {
            DeleteObject(owned);
        }
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace vtsim::internal
