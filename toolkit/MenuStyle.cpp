// The flat look of the menu bar and its drop-down lists.
#include "toolkit/MenuStyle.h"

QString FlatMenuStyleSheet()
{
    return QStringLiteral(
        "QMenuBar { background: rgb(215, 215, 215); border: none; }"
        "QMenuBar::item { background: transparent; padding: 2px 8px; border: 1px solid transparent; }"
        "QMenuBar::item:selected { background: rgb(206, 211, 231); border: 1px solid rgb(115, 113, 156); }"
        "QMenuBar::item:pressed { background: rgb(249, 248, 247); border: 1px solid rgb(115, 113, 156); }"
        "QMenu { background: rgb(249, 248, 247); border: 1px solid rgb(115, 113, 156); padding: 1px; }"
        "QMenu::item { color: black; padding: 3px 24px 3px 28px; border: 1px solid transparent; }"
        "QMenu::item:selected { background: rgb(206, 211, 231); border: 1px solid rgb(115, 113, 156);"
        "  color: palette(window-text); }"
        "QMenu::item:disabled { color: rgb(150, 150, 150); }"
        "QMenu::icon { padding-left: 6px; }"
        "QMenu::separator { height: 1px; background: rgb(197, 194, 184); margin: 3px 4px 3px 28px; }");
}
