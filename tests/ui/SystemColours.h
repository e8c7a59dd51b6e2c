// Other system colours for as long as the object lives, as a high-contrast
// theme sets them; the colours before come back at its end. SetSysColors
// sends WM_SYSCOLORCHANGE to every top-level window, as Windows does.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <utility>
#include <vector>

class SystemColours {
public:
    SystemColours(std::initializer_list<std::pair<int, COLORREF>> colours) {
        for (const auto& [index, colour] : colours) {
            m_indices.push_back(index);
            m_before.push_back(::GetSysColor(index));
            m_after.push_back(colour);
        }
        Apply(m_after);
    }
    ~SystemColours() { Apply(m_before); }
    SystemColours(const SystemColours&) = delete;
    SystemColours& operator=(const SystemColours&) = delete;

private:
    void Apply(const std::vector<COLORREF>& colours) const {
        ::SetSysColors(static_cast<int>(m_indices.size()), m_indices.data(), colours.data());
    }
    std::vector<int> m_indices;
    std::vector<COLORREF> m_before;
    std::vector<COLORREF> m_after;
};

// The colours of Windows' "High Contrast Black": light text and frames on a
// black face.
inline SystemColours HighContrastBlack() {
    return SystemColours{{COLOR_BTNFACE, RGB(0, 0, 0)},
                         {COLOR_BTNTEXT, RGB(255, 255, 255)},
                         {COLOR_WINDOWFRAME, RGB(255, 255, 255)},
                         {COLOR_3DLIGHT, RGB(255, 255, 255)},
                         {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
                         {COLOR_BTNSHADOW, RGB(128, 128, 128)},
                         {COLOR_3DDKSHADOW, RGB(192, 192, 192)}};
}
