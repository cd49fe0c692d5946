#pragma once

#include "platform/ui/dialogs.h"

namespace platterly::ui {

// The real boxes: QMessageBox, QInputDialog and QFileDialog, modal to `parent` (or to the
// application when it is null). Texts are shown as plain text, so a file name holding '<' or '&'
// shows as it is, and a "\r\n" line break breaks the line like "\n".
class WidgetDialogs final : public Dialogs
{
public:
    Answer message(QWidget* parent, const QString& text, const QString& caption, Buttons buttons,
                   Icon icon) override;
    std::optional<QString> input(QWidget* parent, const QString& prompt, const QString& caption,
                                 const QString& defaultText) override;
    std::optional<QString> openFileName(QWidget* parent, const QString& caption,
                                        const QString& folder, const QString& filter) override;
};

} // namespace platterly::ui
