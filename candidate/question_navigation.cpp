#include "candidate/question_navigation.h"

#include <algorithm>

namespace exam::candidate {

void QuestionNavigation::setPageOffset(int offset)
{
    pageOffset = std::clamp(offset, 0, pageMaximum());
}

bool QuestionNavigation::keepPage()
{
    const int before = pageOffset;
    if (position - pageOffset > ButtonCount)
        setPageOffset(pageOffset + PageStep);
    else if (pageOffset >= position)
        setPageOffset(pageOffset - PageStep);
    return pageOffset != before;
}

bool QuestionNavigation::previous()
{
    if (position <= 1) {
        previousEnabled = false;
        return false;
    }
    --position;
    nextEnabled = true;
    return true;
}

bool QuestionNavigation::next()
{
    if (position >= presentedCount) {
        nextEnabled = false;
        return false;
    }
    ++position;
    previousEnabled = true;
    return true;
}

bool QuestionNavigation::jumpBack()
{
    if (presentedCount < 1)
        return false;
    if (jumpStep < position) {
        position -= jumpStep;
    } else {
        position = 1;
        previousEnabled = false;
    }
    nextEnabled = true;
    return true;
}

bool QuestionNavigation::jumpForward()
{
    if (presentedCount < 1)
        return false;
    if (position + jumpStep > presentedCount) {
        position = presentedCount;
        nextEnabled = false;
    } else {
        position += jumpStep;
    }
    previousEnabled = true;
    return true;
}

bool QuestionNavigation::selectButton(int button)
{
    const int target = buttonPosition(button);
    if (button < 1 || button > ButtonCount || target < 1 || target > presentedCount)
        return false;
    position = target;
    return true;
}

} // namespace exam::candidate
