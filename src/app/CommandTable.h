// The program's commands as Qt actions: text, shortcuts, status-bar prompt and tool tip, id.
#pragma once

#include <QAction>
#include <QHash>
#include <QObject>

class CCommandTable : public QObject {
    Q_OBJECT
public:
    explicit CCommandTable(QObject* parent);

    QAction* Action(int id) const { return m_actions.value(id); }
    const QHash<int, QAction*>& All() const { return m_actions; }

    // Puts `action` (made elsewhere, e.g. by an undo stack, which keeps its text and enabled
    // state) in place of the command's own, with the command's name, shortcuts and prompts.
    void Adopt(int id, QAction* action);

    // The id a QAction stands for (its data), or 0.
    static int IdOf(const QAction* action);

private:
    QHash<int, QAction*> m_actions;
};
