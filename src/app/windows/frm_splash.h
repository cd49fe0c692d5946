#pragma once

#include "platform/handover/program_state.h"
#include "platform/handover/windows.h"

#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

namespace platterly::app {

// The splash window, the first window of the program. Its load step reads the start-up
// options, plays the welcome sound and loads (hidden) the window that follows it: the main
// window on the default catalogue, or the database chooser. After five ticks of its timer, a
// click on the logo or a key press it closes and shows that window.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    frmSplash(handover::ProgramState& state, const handover::Windows& windows,
              QWidget* parent = nullptr);
    ~frmSplash() override;

    // How the next window is loaded without being shown, so that its load step runs while
    // the splash is up. The program wires the real windows in; either may be left empty.
    void setLoaders(std::function<void()> loadMain, std::function<void()> loadChooser);

    // The load step: reads PlaySound and loadwind into the program state, plays "qn" when
    // sounds are on, sets the version label, loads the window that follows and starts Timer1.
    void Load();
    bool isLoaded() const { return m_loaded; }
    // Loads the window when needed, centres it on the screen and shows it.
    void showLoaded();

    // Event handlers, public so that tests drive them as the platform would.
    void Timer1_Timer();
    void imgLogo_Click();

    // Timer ticks counted since the program started; never reset.
    int SplashTicks() const { return m_splashTicks; }

    // Controls, named as the program has always named them.
    QLabel* imgLogo = nullptr;
    QLabel* lblVersion = nullptr;
    QTimer* Timer1 = nullptr;

    // The logo shown in imgLogo, drawn at run time.
    static QPixmap drawLogo();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the window the load step loaded: the main window unless the chooser is wanted.
    void showNextWindow();

    handover::ProgramState& m_state;
    const handover::Windows& m_windows;
    std::function<void()> m_loadMain;
    std::function<void()> m_loadChooser;
    int m_splashTicks = 0;
    bool m_loaded = false;
};

} // namespace platterly::app
