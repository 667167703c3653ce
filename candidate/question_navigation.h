#pragma once

namespace exam::candidate {

// Moving between the presented positions: previous/next, the right-click jumps, the question
// buttons and the page of twenty buttons that follows the position in steps of ten.

struct QuestionNavigation
{
    static constexpr int ButtonCount = 20;
    static constexpr int PageStep = 10;

    int presentedCount = 0;
    int position = 1;   // 1-based
    int pageOffset = 0; // the scroll bar's value: button i shows position i + pageOffset
    int jumpStep = 5;
    bool previousEnabled = true;
    bool nextEnabled = true;

    // The scroll bar's maximum: presentedCount rounded down to tens.
    int pageMaximum() const { return presentedCount / PageStep * PageStep; }
    void setPageOffset(int offset);

    // One step of ten towards the position when it lies beyond the page; true when the page moved.
    bool keepPage();

    // Each returns true when the position changed, so the question is shown again.
    bool previous();
    bool next();
    bool jumpBack();
    bool jumpForward();
    bool selectButton(int button); // 1 … 20

    int buttonPosition(int button) const { return button + pageOffset; }
    bool buttonVisible(int button) const { return buttonPosition(button) <= presentedCount; }
};

} // namespace exam::candidate
