#include "support/doubles/scripted_dialogs.h"

using namespace Qt::StringLiterals;

namespace platterly::ui {

namespace {

// The name of an answer's button, in the order of the Answer values.
QString answerName(Answer answer)
{
    static const char* const names[] = {"Ok", "Cancel", "Yes", "No", "Retry"};
    return QString::fromLatin1(names[static_cast<int>(answer)]);
}

} // namespace

Answer ScriptedDialogs::message(QWidget* /*parent*/, const QString& text, const QString& caption,
                                Buttons buttons, Icon icon)
{
    ShownDialog box;
    box.kind = ShownDialog::Kind::Message;
    box.text = text;
    box.caption = displayedCaption(caption);
    box.buttons = buttons;
    box.icon = icon;
    box.answer = safestAnswer(buttons);

    if (m_queue.empty()) {
        fail(box, u"no answer was queued"_s);
    } else {
        const Reply reply = m_queue.front();
        m_queue.pop_front();
        if (reply.kind != Reply::Kind::Button)
            fail(box, u"the next answer was meant for a text-input dialog"_s);
        else if (!offers(buttons, reply.button))
            fail(box, u"the box has no %1 button"_s.arg(answerName(reply.button)));
        else
            box.answer = reply.button;
    }
    m_shown.push_back(box);
    return box.answer;
}

std::optional<QString> ScriptedDialogs::openFileName(QWidget* /*parent*/, const QString& caption,
                                                     const QString& folder,
                                                     const QString& /*filter*/)
{
    return textReply(ShownDialog::Kind::File, caption, displayedCaption(caption), folder);
}

std::optional<QString> ScriptedDialogs::input(QWidget* /*parent*/, const QString& prompt,
                                              const QString& caption, const QString& defaultText)
{
    return textReply(ShownDialog::Kind::Input, prompt, displayedCaption(caption), defaultText);
}

std::optional<QString> ScriptedDialogs::textReply(ShownDialog::Kind kind, const QString& text,
                                                  const QString& caption,
                                                  const QString& defaultText)
{
    ShownDialog box;
    box.kind = kind;
    box.text = text;
    box.caption = caption;
    box.buttons = Buttons::OkCancel;
    box.defaultText = defaultText;
    box.answer = Answer::Cancel;

    std::optional<QString> result;
    if (m_queue.empty()) {
        fail(box, u"no text was queued"_s);
    } else {
        const Reply reply = m_queue.front();
        m_queue.pop_front();
        if (reply.kind == Reply::Kind::Typed) {
            box.answer = Answer::Ok;
            box.typedText = reply.text;
            result = reply.text;
        } else if (reply.kind == Reply::Kind::Button) {
            fail(box, u"the next answer was meant for a message box"_s);
        }
    }
    m_shown.push_back(box);
    return result;
}

QStringList ScriptedDialogs::shownTexts() const
{
    QStringList texts;
    for (const ShownDialog& box : m_shown)
        texts.append(box.text);
    return texts;
}

void ScriptedDialogs::clear()
{
    m_queue.clear();
    m_shown.clear();
    m_failures.clear();
}

void ScriptedDialogs::fail(const ShownDialog& box, const QString& why)
{
    m_failures.append(
        u"unexpected box \"%1\" (caption \"%2\"): %3"_s.arg(box.text, box.caption, why));
}

} // namespace platterly::ui
