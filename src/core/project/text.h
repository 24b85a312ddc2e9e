// the ANSI text files of projects: code pages and lines, whatever their line endings
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/common/error.h"
#include "core/project/code_page.h"

namespace corvane {

// Invalid input (bytes that are not UTF-8, under Utf8) becomes U+FFFD, so the result is always valid UTF-8.
std::string AnsiToUtf8(const std::string& bytes, CodePage codePage = CodePage::Windows1252);
// Characters the code page cannot hold, and invalid UTF-8, become "?".
std::string Utf8ToAnsi(const std::string& text, CodePage codePage = CodePage::Windows1252);

// Whether this system has the converter of the code page (the C library's, for the Windows code pages).
bool CanConvert(CodePage codePage);

// The number of bytes of the character starting at bytes[pos]: 2 for a lead byte and the trail byte
// that completes it in a double-byte code page, else 1.
std::size_t CharacterLengthAt(const std::string& bytes, std::size_t pos, CodePage codePage);
// The first c at or after from that is a character of its own, not the trail byte of another; npos when
// there is none.
std::size_t FindCharacter(const std::string& bytes, char c, CodePage codePage, std::size_t from = 0);

// UTF-8 helpers shared with the reference resolver.
void AppendUtf8(std::string& out, char32_t codePoint);
// Decodes the code point at text[pos] and advances pos; U+FFFD (advancing one byte) for an invalid sequence.
char32_t DecodeUtf8(const std::string& text, std::size_t& pos);

// CR LF, LF and CR each end a line; a last line without an ending counts; no bytes, no lines.
std::vector<std::string> SplitLines(const std::string& bytes);
// No project or group file comes near this; a larger one is refused before it is read, so that a link to
// something endless cannot take every byte of memory.
inline constexpr std::uint64_t kMaxTextFileBytes = std::uint64_t{64} << 20;

// The file's bytes, unchanged; the failure names the file and the reason. Only regular files are read.
Result<std::string> ReadTextFile(const std::string& path);
// Creates or truncates the file and writes every line followed by CR LF.
Status WriteTextLines(const std::string& path, const std::vector<std::string>& lines);

} // namespace corvane
