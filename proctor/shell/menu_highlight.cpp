#include "proctor/shell/menu_highlight.h"

namespace exam {

QList<int> MenuHighlight::hoverButton(int button)
{
    if (!isButton(button))
        return {};
    QList<int> changed;
    for (int other = 1; other <= ButtonCount; ++other) {
        bool &state = m_highlighted[static_cast<size_t>(other - 1)];
        const bool wanted = other == button;
        if (state != wanted) {
            state = wanted;
            changed << other;
        }
    }
    return changed;
}

QList<int> MenuHighlight::hoverBackground()
{
    QList<int> changed;
    for (int button = 1; button <= ButtonCount; ++button) {
        bool &state = m_highlighted[static_cast<size_t>(button - 1)];
        if (state) {
            state = false;
            changed << button;
        }
    }
    return changed;
}

bool MenuHighlight::isHighlighted(int button) const
{
    return isButton(button) && m_highlighted[static_cast<size_t>(button - 1)];
}

QList<int> MenuHighlight::highlighted() const
{
    QList<int> result;
    for (int button = 1; button <= ButtonCount; ++button) {
        if (isHighlighted(button))
            result << button;
    }
    return result;
}

} // namespace exam
