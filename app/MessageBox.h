#pragma once

#include "surface/UserMessage.h"

#include <QString>

#include <functional>

// Every message the editor shows goes through MessageBox::show: the
// application's own, and what the document and the view hand up as
// UserMessage values. The application installs a handler that puts up a
// modal box; tests install one that records the message and answers at once.
class MessageBox
{
public:
    using Icon = UserMessage::Icon;
    static constexpr Icon NoIcon = UserMessage::NoIcon;
    static constexpr Icon Information = UserMessage::Information;
    static constexpr Icon Exclamation = UserMessage::Exclamation;
    static constexpr Icon Question = UserMessage::Question;
    static constexpr Icon Critical = UserMessage::Critical;
    enum Buttons { Ok, SaveDiscardCancel, RecoverDiscardLater, OverwriteSaveAsCancel, ReplaceCancel };
    enum Result { ResultOk, ResultSave, ResultDiscard, ResultCancel, ResultRecover, ResultLater, ResultOverwrite, ResultSaveAs, ResultReplace };

    struct Message : UserMessage
    {
        Buttons buttons = Ok;
    };

    using Handler = std::function<Result(const Message &)>;

    static Result show(const QString &text, const QString &caption = QString(),
                       Icon icon = NoIcon, Buttons buttons = Ok, const QString &detail = QString());
    // A message handed up from below, with an Ok button.
    static void show(const UserMessage &message);

    // Returns the previous handler. An empty handler restores the fallback,
    // which writes to standard error and answers Ok (or Cancel).
    static Handler setHandler(Handler handler);
};
