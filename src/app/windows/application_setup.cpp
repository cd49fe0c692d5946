#include "app/windows/application_setup.h"

#include "platform/handover/program_state.h"

#include <QApplication>
#include <QIcon>

namespace platterly::app {

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("platterly"));
    QApplication::setApplicationVersion(handover::versionText().section(QLatin1Char(' '), 1));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("platterly")));
}

} // namespace platterly::app
