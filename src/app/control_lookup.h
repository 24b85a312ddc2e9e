// controls of a window addressed the way its language file and its code name them: a name and,
// for members of a control array, an index
#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QWidget;

namespace corvane {

// Gives a control its name and, for a member of a control array (index >= 0), its index.
void NameControl(QObject* control, const QString& name, int index = -1);

// A new control of type T inside parent, named as NameControl does.
template <typename T> T* MakeControl(QWidget* parent, const QString& name, int index = -1) {
    auto* control = new T(parent);
    NameControl(control, name, index);
    return control;
}

// The control's index in its array as decimal text, or "" when it belongs to no array.
QString ControlIndexSuffix(const QObject* control);

// Every control of the window, each once, parents before their children. A control is a
// descendant with a name of its own; the parts Qt names inside compound widgets ("qt_...") are not.
QList<QObject*> WindowControls(const QWidget* window);

// The control of that name; index -1 asks for a control outside any array, index >= 0 for that
// member of the array. nullptr when there is none.
QObject* findControl(const QWidget* window, const QString& name, int index = -1);

template <typename T> T* findControlAs(const QWidget* window, const QString& name, int index = -1) {
    return qobject_cast<T*>(findControl(window, name, index));
}

} // namespace corvane
