#include "planner/controls/EditMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace {

void Add(QMenu& m, const QString& caption, QKeySequence::StandardKey key, const TEditMenuCommand& c)
{
    QAction* a = m.addAction(caption);
    a->setShortcut(QKeySequence(key));
    a->setEnabled(c.Enabled && c.Run);
    if (c.Run) QObject::connect(a, &QAction::triggered, &m, c.Run);
}

} // namespace

void ShowEditMenu(QWidget* owner, const QPoint& globalPos, const TEditMenu& menu)
{
    QMenu m(owner);
    Add(m, QObject::tr("&Undo"), QKeySequence::Undo, menu.Undo);
    m.addSeparator();
    Add(m, QObject::tr("Cu&t"), QKeySequence::Cut, menu.Cut);
    Add(m, QObject::tr("&Copy"), QKeySequence::Copy, menu.Copy);
    Add(m, QObject::tr("&Paste"), QKeySequence::Paste, menu.Paste);
    Add(m, QObject::tr("Delete"), QKeySequence::Delete, menu.Delete);
    m.addSeparator();
    Add(m, QObject::tr("Select All"), QKeySequence::SelectAll, menu.SelectAll);
    m.exec(globalPos);
}
