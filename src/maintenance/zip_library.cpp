#include "maintenance/zip_library.h"

#include <dlfcn.h>

namespace platterly::maintenance {

namespace {

struct LoadedZip
{
    ZipLibrary functions;
    QString error; // empty when every function was found
};

LoadedZip load()
{
    LoadedZip loaded;
    void* handle = dlopen(PLATTERLY_LIBZIP_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        loaded.error =
            QStringLiteral("the library %1 could not be loaded (%2)")
                .arg(QLatin1String(PLATTERLY_LIBZIP_SONAME), QString::fromLocal8Bit(dlerror()));
        return loaded;
    }
    // The library stays loaded until the program ends.
#define PLATTERLY_ZIP_RESOLVE(name)                                                                \
    loaded.functions.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));             \
    if (loaded.functions.name == nullptr && loaded.error.isEmpty())                                \
        loaded.error = QStringLiteral("the library %1 lacks the function %2")                      \
                           .arg(QLatin1String(PLATTERLY_LIBZIP_SONAME), QLatin1String(#name));
    PLATTERLY_ZIP_FUNCTIONS(PLATTERLY_ZIP_RESOLVE)
#undef PLATTERLY_ZIP_RESOLVE
    return loaded;
}

} // namespace

const ZipLibrary* zipLibrary(QString* error)
{
    static const LoadedZip loaded = load();
    if (!loaded.error.isEmpty()) {
        if (error)
            *error = loaded.error;
        return nullptr;
    }
    return &loaded.functions;
}

} // namespace platterly::maintenance
