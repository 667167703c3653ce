#include "proctor/authoring/paper_editor_menus.h"

#include "platform/dialogs/dialogs.h"
#include "proctor/authoring/paper_editor.h"

#include <QAction>
#include <QFontDatabase>
#include <QMenu>
#include <QTextEdit>

namespace exam {

namespace {

QAction *addItem(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QMenu *addSubMenu(QMenu *menu, const QString &name, const QString &caption)
{
    QMenu *sub = menu->addMenu(caption);
    sub->setObjectName(name);
    return sub;
}

} // namespace

RichTextMenuNames questionEditorMenuNames()
{
    return {QStringLiteral("MenuRich"), QStringLiteral("mnucut"),  QStringLiteral("mnucopy"),
            QStringLiteral("mnupaste"), QStringLiteral("mnuundo"), QStringLiteral("MNU字号"),
            QStringLiteral("字号列表"), QStringLiteral("MNU字体"), QStringLiteral("字体列表"),
            QStringLiteral("MNU颜色")};
}

RichTextMenuNames explanationEditorMenuNames()
{
    return {QStringLiteral("menuRich2"),    QStringLiteral("mnurich2cut"),
            QStringLiteral("mnurich2copy"), QStringLiteral("mnurich2paste"),
            QStringLiteral("mnurich2undo"), QStringLiteral("mnurich2字号"),
            QStringLiteral("字号列表2"),    QStringLiteral("mnurich2字体"),
            QStringLiteral("字体列表2"),    QStringLiteral("mnurich2颜色")};
}

QMenu *makeRichTextMenu(QTextEdit *editor, const RichTextMenuNames &names,
                        platform::Dialogs &dialogs, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(names.menu);

    QAction *cut = addItem(menu, names.cut, QStringLiteral("剪切"));
    QAction *copy = addItem(menu, names.copy, QStringLiteral("复制"));
    QAction *paste = addItem(menu, names.paste, QStringLiteral("粘贴"));
    QAction *undo = addItem(menu, names.undo, QStringLiteral("撤消"));
    cut->setEnabled(false);
    copy->setEnabled(false);
    // Each command acts on its editor as the editor's own key chord would.
    const auto focused = [editor](void (QTextEdit::*command)()) {
        return [editor, command] {
            editor->setFocus();
            (editor->*command)();
        };
    };
    QObject::connect(cut, &QAction::triggered, editor, focused(&QTextEdit::cut));
    QObject::connect(copy, &QAction::triggered, editor, focused(&QTextEdit::copy));
    QObject::connect(paste, &QAction::triggered, editor, focused(&QTextEdit::paste));
    QObject::connect(undo, &QAction::triggered, editor, focused(&QTextEdit::undo));
    QObject::connect(editor, &QTextEdit::copyAvailable, cut, &QAction::setEnabled);
    QObject::connect(editor, &QTextEdit::copyAvailable, copy, &QAction::setEnabled);

    QMenu *sizes = addSubMenu(menu, names.sizeMenu, QStringLiteral("字号"));
    for (int size = SmallestFontSize; size <= LargestFontSize; ++size) {
        QAction *item =
            addItem(sizes, names.sizeItems + u'_' + QString::number(size - SmallestFontSize + 1),
                    QString::number(size));
        QObject::connect(item, &QAction::triggered, editor,
                         [editor, size] { editor->setFontPointSize(size); });
    }

    QMenu *fonts = addSubMenu(menu, names.fontMenu, QStringLiteral("字体"));
    const QStringList families = QFontDatabase::families();
    for (int i = 0; i < families.size(); ++i) {
        const QString family = families.at(i);
        QAction *item = addItem(fonts, names.fontItems + u'_' + QString::number(i + 1), family);
        QObject::connect(item, &QAction::triggered, editor,
                         [editor, family] { editor->setFontFamily(family); });
    }

    QAction *colour = addItem(menu, names.colour, QStringLiteral("颜色"));
    QObject::connect(colour, &QAction::triggered, editor, [editor, &dialogs] {
        if (const std::optional<QColor> chosen = dialogs.chooseColor(editor, editor->textColor()))
            editor->setTextColor(*chosen);
    });

    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        editor, &QWidget::customContextMenuRequested, menu,
        [editor, menu](const QPoint &at) { menu->popup(editor->viewport()->mapToGlobal(at)); });
    return menu;
}

QMenu *makeGridMenu(PaperEditor *editor, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("Edit"));
    QObject::connect(addItem(menu, QStringLiteral("edit_Insert_blank"), QStringLiteral("插入")),
                     &QAction::triggered, editor, &PaperEditor::insert);
    QObject::connect(addItem(menu, QStringLiteral("edit_up"), QStringLiteral("上移")),
                     &QAction::triggered, editor, &PaperEditor::moveUp);
    QObject::connect(addItem(menu, QStringLiteral("edit_down"), QStringLiteral("下移")),
                     &QAction::triggered, editor, &PaperEditor::moveDown);
    QObject::connect(addItem(menu, QStringLiteral("edit_Delete"), QStringLiteral("删除")),
                     &QAction::triggered, editor, &PaperEditor::remove);
    QObject::connect(addItem(menu, QStringLiteral("edit_Import"), QStringLiteral("导入题目…")),
                     &QAction::triggered, editor, &PaperEditor::importQuestionFile);
    return menu;
}

} // namespace exam
