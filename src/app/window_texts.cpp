// text conversions, naming and finding the controls of a window, and window translation
#include "app/window_texts.h"

#include <QFile>
#include <QLabel>
#include <QVariant>
#include <QWidget>

#include "core/locale/ini_file.h"
#include "core/project/text.h"

namespace corvane {

// one conversion for core and window: the core's, wrapped for QString
QString FromAnsi(const std::string& bytes, CodePage codePage) {
    return QString::fromStdString(AnsiToUtf8(bytes, codePage));
}

std::string ToAnsi(const QString& text, CodePage codePage) {
    return Utf8ToAnsi(text.toStdString(), codePage);
}

std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString PathText(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString MessageText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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

bool SetControlCaption(QObject* control, const QString& caption) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(caption);
        return true;
    }
    // buttons and frames publish their caption as a property; text boxes, lists and images do not
    if (control->metaObject()->indexOfProperty("Caption") < 0)
        return false;
    return control->setProperty("Caption", caption);
}

void TranslateForm(QWidget* window, const QString& languageFile, CodePage codePage) {
    TranslateForm(window, languageFile, codePage, &ReadIniString);
}

void TranslateForm(QWidget* window, const QString& languageFile, CodePage codePage, const IniReader& read) {
    if (!window)
        return;
    const std::string file = PathBytes(languageFile);
    const std::string section = ToAnsi(window->objectName(), codePage);
    const auto value = [&](const QString& key) {
        return FromAnsi(read(section, ToAnsi(key, codePage), "", file), codePage);
    };

    const QString title = value(QStringLiteral("Form"));
    if (!title.isEmpty())
        window->setWindowTitle(title);

    for (QObject* control : WindowControls(window)) {
        const QString key = control->objectName() + ControlIndexSuffix(control);
        const QString caption = value(key);
        if (!caption.isEmpty())
            SetControlCaption(control, caption);
        const QString tip = value(key + QStringLiteral("ToolTipText"));
        // a timer has no tool tip; like a missing caption, that is not an error
        if (auto* widget = qobject_cast<QWidget*>(control); widget && !tip.isEmpty())
            widget->setToolTip(tip);
    }
}

} // namespace corvane
