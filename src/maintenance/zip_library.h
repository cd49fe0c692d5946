#pragma once

#include <QString>
#include <zip.h>

namespace platterly::maintenance {

// The libzip functions the document export uses.
#define PLATTERLY_ZIP_FUNCTIONS(X)                                                                 \
    X(zip_close)                                                                                   \
    X(zip_discard)                                                                                 \
    X(zip_error_fini)                                                                              \
    X(zip_error_init)                                                                              \
    X(zip_error_strerror)                                                                          \
    X(zip_file_add)                                                                                \
    X(zip_get_error)                                                                               \
    X(zip_open_from_source)                                                                        \
    X(zip_source_buffer)                                                                           \
    X(zip_source_buffer_create)                                                                    \
    X(zip_source_close)                                                                            \
    X(zip_source_error)                                                                            \
    X(zip_source_free)                                                                             \
    X(zip_source_keep)                                                                             \
    X(zip_source_open)                                                                             \
    X(zip_source_read)                                                                             \
    X(zip_source_stat)                                                                             \
    X(zip_stat_init)

// libzip, loaded the first time a document is written rather than when the program starts:
// it brings a cryptography library whose start-up alone would cost every run of the program,
// every search from the command line included, more than a millisecond.
struct ZipLibrary
{
#define PLATTERLY_ZIP_POINTER(name) decltype(&::name) name = nullptr;
    PLATTERLY_ZIP_FUNCTIONS(PLATTERLY_ZIP_POINTER)
#undef PLATTERLY_ZIP_POINTER
};

// The loaded library, or nullptr with `error` (when given) saying why it cannot be used.
const ZipLibrary* zipLibrary(QString* error);

} // namespace platterly::maintenance
