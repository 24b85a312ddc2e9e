// how the windows' texts meet the rest: the ANSI bytes and path bytes the core reads, the names a
// language file gives the controls, and the translation of a window from such a file
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <string>

#include "core/common/error.h"
#include "core/project/code_page.h"

class QWidget;

namespace corvane {

// Qt texts from and to the ANSI bytes of the files the program shares with Windows users, in the code
// page they are written in (the one decided at start-up, or a language file's own).
QString FromAnsi(const std::string& bytes, CodePage codePage);
// Characters the code page cannot hold become "?".
std::string ToAnsi(const QString& text, CodePage codePage);

// Paths as the core reads them (bytes of this machine's file names) and as the windows show them.
std::string PathBytes(const QString& path);
QString PathText(const std::string& path);
// A message made by the core: UTF-8, with the paths it names in them.
QString MessageText(const std::string& text);

// Controls of a window are addressed the way its language file and its code name them: a name and,
// for members of a control array (index >= 0), an index.
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

// A language file and the code page its language writes it in; an empty path keeps the built-in texts.
struct TranslationFile {
    QString path;
    CodePage codePage;
};

// Reads one value of an INI file: (section, key, default, file) -> the value or the default.
using IniReader = std::function<std::string(const std::string& section, const std::string& key,
                                            const std::string& defaultValue, const std::string& filePath)>;

// Section = the window's name. "Form" gives the window's title; for every control, the key
// name + index suffix gives its caption (only controls that have one: labels, buttons, frames)
// and that key + "ToolTipText" its tool tip. Empty or missing values keep the built-in texts. The file
// is written in the code page of its language.
void TranslateForm(QWidget* window, const QString& languageFile, CodePage codePage);
void TranslateForm(QWidget* window, const QString& languageFile, CodePage codePage, const IniReader& read);

// The text `key` of the language file's [Messages], in its code page; `english` when the file has none.
QString MessageOf(const TranslationFile& language, const char* key, const QString& english);

// One of the system's common reasons (permission denied, read-only, disk full, not a folder, not found,
// a folder, a link loop) in the language; any other reason as the core gave it, `english`.
QString ReasonText(const TranslationFile& language, int systemError, const std::string& english);

// A failure of the core as a window tells it. The core's sentences are English: when one is about a path
// and the system gave one of its common reasons, a window in another language says the path and the
// reason in its own words instead; an English window keeps the whole sentence, which also says what was
// being done.
QString ErrorText(const TranslationFile& language, const Error& error);

// Sets the caption of a control that has one; false (nothing set) for controls without a caption.
bool SetControlCaption(QObject* control, const QString& caption);

} // namespace corvane
