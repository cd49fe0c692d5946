// platterly: the desktop program. The splash window starts the run; windows hand over to each
// other through the hooks wired here.
#include "app/windows/application_setup.h"
#include "app/windows/form1.h"
#include "app/windows/frm_qn.h"
#include "app/windows/frm_splash.h"
#include "cataloguing/windows/form2.h"
#include "cataloguing/windows/frm_path.h"
#include "chooser/frm_loading.h"
#include "platform/archive/image_reader.h"
#include "platform/handover/program_state.h"
#include "platform/handover/windows.h"
#include "platform/system/application_folder.h"
#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

// Windows hand over by closing themselves and then showing the next one, so for a moment no
// window is open. The program ends only when, once that moment has passed, no window is open.
class QuitWhenNoWindowIsLeft : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Hide && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow())
            QTimer::singleShot(0, qApp, [] {
                for (const QWidget* window : QApplication::topLevelWidgets())
                    if (window->isVisible())
                        return;
                QApplication::quit();
            });
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char** argv)
{
    using namespace platterly;
    archive::settleTimeZone();
    QApplication application(argc, argv);
    app::setUpApplication();
    QApplication::setQuitOnLastWindowClosed(false);
    QuitWhenNoWindowIsLeft quitter;
    application.installEventFilter(&quitter);

    // Resolving the application folder seeds a new one with the shipped files.
    const QString folder = system::applicationFolder();
    if (const QString problem = system::applicationFolderError(); !problem.isEmpty())
        ui::messageBox(nullptr,
                       problem + QStringLiteral("\n\nThe program's files are in ") + folder,
                       ui::Buttons::Ok, ui::Icon::Warning);

    // The program's state for the run and the hand-over between its windows, given to each
    // window; both outlive the windows.
    handover::ProgramState state;
    handover::Windows windows;
    app::Form1 main(state, windows);
    chooser::frmLoading chooser(state, windows);
    app::frmQn about(windows);
    app::frmSplash splash(state, windows);
    cataloguing::Form2 newDisc(state, windows);
    cataloguing::frmPath copyPicker(state);

    windows.showMain = [&] { main.showLoaded(); };
    windows.showChooser = [&] { chooser.showLoaded(); };
    windows.showAbout = [&] { about.showLoaded(); };
    windows.showNewDisc = [&] { newDisc.showLoaded(); };
    windows.pickCopyFolder = [&](std::function<void()> copy) {
        state.PathMode = handover::PathMode::CopyDestination;
        copyPicker.setCopyAction([&, copy = std::move(copy)] {
            state.CopyTargetFolder = copyPicker.chosen().nativePath;
            copy();
        });
        copyPicker.showLoaded();
    };
    windows.mainWindow = [&]() -> QWidget* { return &main; };
    splash.setLoaders([&] { main.Load(); }, [&] { chooser.Load(); });
    windows.CloseAllFiles = [&] {
        main.MyData().close();
        newDisc.Data().close();
    };
    windows.UnloadAllForms = [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->close();
    };

    splash.showLoaded();
    return QApplication::exec();
}
