// Qt texts from and to the ANSI bytes of the files the program shares with Windows users
#pragma once

#include <QString>
#include <string>

namespace corvane {

// In the code page the core uses for every ANSI file (Windows-1252 unless configured otherwise).
QString FromAnsi(const std::string& bytes);
// Characters the code page cannot hold become "?".
std::string ToAnsi(const QString& text);

} // namespace corvane
