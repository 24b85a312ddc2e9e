// replaces a window's captions and tool tips by those of a language file
#pragma once

#include <QString>
#include <functional>
#include <string>

class QObject;
class QWidget;

namespace corvane {

// Reads one value of an INI file: (section, key, default, file) -> the value or the default.
using IniReader = std::function<std::string(const std::string& section, const std::string& key,
                                            const std::string& defaultValue, const std::string& filePath)>;

// Section = the window's name. "Form" gives the window's title; for every control, the key
// name + index suffix gives its caption (only controls that have one: labels, buttons, frames)
// and that key + "ToolTipText" its tool tip. Empty or missing values keep the built-in texts.
void TranslateForm(QWidget* window, const QString& languageFile);
void TranslateForm(QWidget* window, const QString& languageFile, const IniReader& read);

// Sets the caption of a control that has one; false (nothing set) for controls without a caption.
bool SetControlCaption(QObject* control, const QString& caption);

} // namespace corvane
