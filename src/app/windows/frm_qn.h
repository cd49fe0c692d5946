#pragma once

#include "platform/handover/windows.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

namespace platterly::app {

// The About window: the program's title and version, the author's contact and a thank-you
// text, with music playing while it is open. The main window disables itself before showing
// it; however the About window closes, it plays a click and enables the main window again.
class frmQn : public QWidget
{
    Q_OBJECT

public:
    explicit frmQn(const handover::Windows& windows, QWidget* parent = nullptr);
    ~frmQn() override;

    // The load step: the music interval, the window title and the version label; starts the
    // music timer.
    void Load();
    bool isLoaded() const { return m_loaded; }
    // Loads the window when needed and shows it, not modal.
    void showLoaded();

    // Event handlers, public so that tests drive them as the platform would.
    void Timer1_Timer();
    void cmdOK_Click();
    void Form_Click();

    // Controls, named as the program has always named them.
    QLabel* Image1 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* lblAuthor = nullptr;
    QLabel* lblEmail = nullptr;
    QLabel* lblWeb = nullptr;
    QPushButton* cmdOK = nullptr;
    QTimer* Timer1 = nullptr;

    // The picture shown in Image1, drawn at run time.
    static QPixmap drawPicture();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void enableMainWindow();

    const handover::Windows& m_windows;
    bool m_loaded = false;
};

} // namespace platterly::app
