#include "platform/handover/windows.h"

#include <QCoreApplication>

namespace platterly::handover {

void QuitProgram(const Windows& windows)
{
    windows.CloseAllFiles();
    windows.UnloadAllForms();
    QCoreApplication::quit();
}

} // namespace platterly::handover
