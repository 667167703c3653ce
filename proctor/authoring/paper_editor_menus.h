#pragma once

// The pop-up menus of the paper editor: "Edit" on the question grid, and one editing menu per
// rich-text editor (cut, copy, paste, undo, font size, font, colour).

#include <QString>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QMenu;
class QTextEdit;
class QWidget;

namespace exam {

class PaperEditor;

// Object names of one editor's menu and of its items; the item arrays get "_1", "_2", ….
struct RichTextMenuNames
{
    QString menu;
    QString cut, copy, paste, undo;
    QString sizeMenu, sizeItems;
    QString fontMenu, fontItems;
    QString colour;
};

RichTextMenuNames questionEditorMenuNames();    // MenuRich
RichTextMenuNames explanationEditorMenuNames(); // menuRich2

// The font sizes offered: 5 … 40.
inline constexpr int SmallestFontSize = 5;
inline constexpr int LargestFontSize = 40;

// Builds the menu as a child of `parent` and pops it up on the editor's right click. Cut and copy
// are enabled exactly while the editor has a selection; the colour comes from Dialogs and a
// cancelled colour dialog changes nothing.
QMenu *makeRichTextMenu(QTextEdit *editor, const RichTextMenuNames &names,
                        platform::Dialogs &dialogs, QWidget *parent);

// "Edit": insert, move up, move down, delete and "导入题目…", acting on `editor`.
QMenu *makeGridMenu(PaperEditor *editor, QWidget *parent);

} // namespace exam
