// text conversions, naming and finding the controls of a window, and window translation
#include "app/window_texts.h"

#include <QFile>
#include <system_error>
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

namespace {

// the [Messages] key of a reason the system gives often enough to be worth a translation
const char* ReasonKey(int systemError) {
    switch (static_cast<std::errc>(systemError)) {
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted:
        return "ReasonPermission";
    case std::errc::read_only_file_system:
        return "ReasonReadOnly";
    case std::errc::no_space_on_device:
        return "ReasonNoSpace";
    case std::errc::not_a_directory:
        return "ReasonNotAFolder";
    case std::errc::no_such_file_or_directory:
        return "ReasonNotFound";
    case std::errc::is_a_directory:
        return "ReasonIsAFolder";
    case std::errc::too_many_symbolic_link_levels:
        return "ReasonLinkLoop";
    default:
        return nullptr;
    }
}

} // namespace

QString MessageOf(const TranslationFile& language, const char* key, const QString& english) {
    const std::string text = ReadIniString("Messages", key, "", PathBytes(language.path));
    return text.empty() ? english : FromAnsi(text, language.codePage);
}

QString ReasonText(const TranslationFile& language, int systemError, const std::string& english) {
    const char* key = ReasonKey(systemError);
    return key != nullptr ? MessageOf(language, key, MessageText(english)) : MessageText(english);
}

QString ErrorText(const TranslationFile& language, const Error& error) {
    if (error.path.empty() || ReasonKey(error.systemError) == nullptr)
        return MessageText(error.message);
    const std::string english = SystemErrorReason(error.systemError);
    const QString reason = ReasonText(language, error.systemError, english);
    if (reason == MessageText(english))
        return MessageText(error.message);
    return PathText(error.path) + QStringLiteral(" \u2014 ") + reason;
}

} // namespace corvane
