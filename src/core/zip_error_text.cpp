// libzip's error values turned into text a user can read
#include "core/zip_error_text.h"

namespace corvane {

std::string ZipErrorText(zip_error_t* error) {
    const char* text = zip_error_strerror(error); // owned by the error, valid until it changes
    return text != nullptr ? text : "unknown error";
}

std::string ZipErrorText(int zipErrorCode) {
    zip_error_t error;
    zip_error_init_with_code(&error, zipErrorCode);
    std::string text = ZipErrorText(&error);
    zip_error_fini(&error);
    return text;
}

std::string ZipErrorText(zip_t* archive) {
    return ZipErrorText(zip_get_error(archive));
}

std::string ZipErrorText(zip_file_t* file) {
    return ZipErrorText(zip_file_get_error(file));
}

} // namespace corvane
