#pragma once

#include <QList>

#include <array>

namespace exam {

// The hover highlight of the main menu's seven picture buttons (numbered 1 to 7): the button under
// the mouse is highlighted and every other one drawn normally; the background drops them all.
class MenuHighlight
{
public:
    static constexpr int ButtonCount = 7;

    // Each returns the buttons whose picture must change, in ascending order.
    QList<int> hoverButton(int button);
    QList<int> hoverBackground();

    bool isHighlighted(int button) const;
    QList<int> highlighted() const;

private:
    static bool isButton(int button) { return button >= 1 && button <= ButtonCount; }
    std::array<bool, ButtonCount> m_highlighted{};
};

} // namespace exam
