// window translation from the language files
#include "app/translate_form.h"

#include <QFile>
#include <QLabel>
#include <QWidget>

#include "app/ansi_qstring.h"
#include "app/control_lookup.h"
#include "core/locale/ini_file.h"

namespace corvane {

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

void TranslateForm(QWidget* window, const QString& languageFile) {
    TranslateForm(window, languageFile, &ReadIniString);
}

void TranslateForm(QWidget* window, const QString& languageFile, const IniReader& read) {
    if (!window)
        return;
    const std::string file = QFile::encodeName(languageFile).toStdString();
    const std::string section = ToAnsi(window->objectName());
    const auto value = [&](const QString& key) { return FromAnsi(read(section, ToAnsi(key), "", file)); };

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
