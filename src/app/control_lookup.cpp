// naming and finding the controls of a window
#include "app/control_lookup.h"

#include <QVariant>
#include <QWidget>

namespace corvane {

namespace {
constexpr const char* kIndexProperty = "index";

bool IsControl(const QObject* object) {
    const QString name = object->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

int IndexOf(const QObject* control) {
    const QVariant index = control->property(kIndexProperty);
    bool ok = false;
    const int value = index.toInt(&ok);
    return index.isValid() && ok ? value : -1;
}

void Collect(const QObject* parent, QList<QObject*>& controls) {
    for (QObject* child : parent->children()) {
        if (IsControl(child))
            controls.append(child);
        Collect(child, controls);
    }
}
} // namespace

void NameControl(QObject* control, const QString& name, int index) {
    control->setObjectName(name);
    control->setProperty(kIndexProperty, index >= 0 ? QVariant(index) : QVariant());
}

QString ControlIndexSuffix(const QObject* control) {
    const int index = IndexOf(control);
    return index >= 0 ? QString::number(index) : QString();
}

QList<QObject*> WindowControls(const QWidget* window) {
    QList<QObject*> controls;
    if (window)
        Collect(window, controls);
    return controls;
}

QObject* findControl(const QWidget* window, const QString& name, int index) {
    for (QObject* control : WindowControls(window)) {
        if (control->objectName() == name && IndexOf(control) == index)
            return control;
    }
    return nullptr;
}

} // namespace corvane
