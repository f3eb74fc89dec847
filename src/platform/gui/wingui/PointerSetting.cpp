// The main window's pointer setting.
#include "wingui/PointerSetting.h"

#include "core/Failure.h"
#include "win32/Win32Text.h"

void PointerSetting::LoadCustomImage(const Text& path) {
    ScopedIcon image(static_cast<HCURSOR>(
        LoadImageW(nullptr, WideOf(path), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE)));
    if (!image) {
        throw Failure(u"The pointer image \"" + path + u"\" could not be loaded as a cursor.");
    }
    m_customImage = std::move(image);
}

HCURSOR PointerSetting::Shape() const noexcept {
    if (m_value == kBusyPointer) {
        return LoadCursorW(nullptr, IDC_WAIT);
    }
    if (m_value == kCustomPointer && m_customImage) {
        return m_customImage.get();
    }
    return LoadCursorW(nullptr, IDC_ARROW);
}
