// one code page rule for core and window: the core's conversion, wrapped for QString
#include "app/ansi_qstring.h"

#include "core/project/text.h"

namespace corvane {

QString FromAnsi(const std::string& bytes) {
    return QString::fromStdString(AnsiToUtf8(bytes, CodePageFromEnvironment()));
}

std::string ToAnsi(const QString& text) {
    return Utf8ToAnsi(text.toStdString(), CodePageFromEnvironment());
}

} // namespace corvane
