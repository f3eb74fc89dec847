// The main window's push buttons.
#include "wingui/ButtonRow.h"

#include <algorithm>

#include "gui/MainForm.h"
#include "wingui/Layout.h"
#include "wingui/MainWindowFonts.h"

ButtonRow::ButtonRow(HWND parent, const std::function<void()>& pointerMove) {
    // The layout's buttons write in the system's button text colour.
    for (ButtonLook* look : {&m_look.normal, &m_look.hot, &m_look.pressed}) {
        look->text = GetSysColor(COLOR_BTNTEXT);
    }
    for (const ButtonPlace& place : kButtonPlaces) {
        m_buttons.push_back(std::make_unique<PushButton>(parent, place, pointerMove));
    }
}

const PushButton* ButtonRow::ButtonOf(HWND control) const noexcept {
    const auto button = std::find_if(m_buttons.begin(), m_buttons.end(),
                                     [&](const auto& each) { return each->Handle() == control; });
    return button == m_buttons.end() ? nullptr : button->get();
}

void ButtonRow::LayOut(UINT dpi, Stretch stretch) {
    m_dpi = dpi;
    // The new font is in use before the old one goes.
    ScopedFont font = CreateButtonFont(m_look.buttonFont, dpi);
    for (const auto& button : m_buttons) {
        button->LayOut(dpi, font.get(), stretch);
    }
    m_font = std::move(font);
}

void ButtonRow::Reposition(Stretch stretch) const noexcept {
    for (const auto& button : m_buttons) {
        button->Reposition(m_dpi, stretch);
    }
}

void ButtonRow::Draw(const DRAWITEMSTRUCT& item) const noexcept {
    if (const PushButton* button = ButtonOf(item.hwndItem)) {
        button->Draw(item, m_look, m_font.get(), m_dpi);
    }
}

void ButtonRow::SetBusy(bool busy, bool stoppable) const noexcept {
    for (const auto& button : m_buttons) {
        const bool stops = stoppable && button->Place().command == &MainForm::ExtractSelectedWindow;
        SetWindowTextW(button->Handle(), busy && stops ? kStopCaption : button->Place().caption);
        EnableWindow(button->Handle(), !busy || stops);
    }
}
