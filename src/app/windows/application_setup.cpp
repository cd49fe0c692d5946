#include "app/windows/application_setup.h"

#include <QApplication>
#include <QIcon>

namespace platterly::app {

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("platterly"));
    QApplication::setApplicationVersion(QStringLiteral(PLATTERLY_VERSION));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("platterly")));
}

QString versionText()
{
    return QStringLiteral("Version " PLATTERLY_VERSION);
}

} // namespace platterly::app
