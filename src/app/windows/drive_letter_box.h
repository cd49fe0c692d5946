#pragma once

#include "platform/drives/drive_map.h"

#include <QComboBox>
#include <optional>
#include <vector>

namespace platterly::app {

// The main window's drive box: the drives of this machine with their mount points
// ("C:  /", "D:  /media/cdrom", an optical drive even when empty), then the letters no drive
// has. The user chooses an item or types a letter. Only a choice from the list (with the
// mouse, or the arrow keys or wheel as on any drop-down list) counts as choosing: typing a
// letter and pressing Enter or leaving the box does not, though the typed letter is used for
// opening and copying while the window stays open.
class DriveLetterBox : public QComboBox
{
    Q_OBJECT

public:
    explicit DriveLetterBox(QWidget* parent = nullptr);

    void setDrives(const std::vector<drives::Drive>& drives);
    // Shows the item of the letter that `text` names ("G", "g:"), or else the text as it is.
    void showText(const QString& text);
    // The letter the box names now: the item shown, or the letter typed; nullopt for a text
    // that names no letter.
    std::optional<QChar> letter() const;
    // The letter as text ("G"), or the typed text when it names no letter.
    QString letterText() const;

Q_SIGNALS:
    // A letter was chosen from the list.
    void letterChosen(QChar letter);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool m_typing = false; // while Enter or leaving the box hands the typed text over
};

} // namespace platterly::app
