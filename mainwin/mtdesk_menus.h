// The main window's commands as one table: every menu item, pop-up item and
// button with its caption as designed and the handler it runs. An entry
// without a handler is shown disabled; a command joins by naming its
// handler here. Captions keep their "&" and trailing blanks: the template
// commands read some of them back.
#pragma once

#include <string>

class QAction;
class TMtdeskF;

// Makes the menus, their items, the pop-up menu and the buttons' captions
// and connects each to its handler (buttons and items without one stay
// disabled), and the list's double click.
void BuildMtdeskCommands(TMtdeskF& Form);

// An item's caption as Windows-1252.
std::string Caption(const QAction& Item);
void SetCaption(QAction& Item, const std::string& Text);
