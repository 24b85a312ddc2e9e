// libzip's error values turned into text a user can read
#pragma once

#include <string>

#include <zip.h>

namespace corvane {

std::string ZipErrorText(zip_error_t* error);
std::string ZipErrorText(int zipErrorCode);
// the last error of an archive, or of one of its open entries
std::string ZipErrorText(zip_t* archive);
std::string ZipErrorText(zip_file_t* file);

} // namespace corvane
