#pragma once

#include <QString>

#include <functional>

// Every message the program shows goes through MessageBox::show. The
// application installs a handler that puts up a modal box; tests install one
// that records the message and answers at once.
class MessageBox
{
public:
    enum Icon { NoIcon, Information, Exclamation, Question, Critical };
    enum Buttons { Ok, SaveDiscardCancel, RecoverDiscardLater, OverwriteSaveAsCancel, ReplaceCancel };
    enum Result { ResultOk, ResultSave, ResultDiscard, ResultCancel, ResultRecover, ResultLater, ResultOverwrite, ResultSaveAs, ResultReplace };

    struct Message
    {
        QString text;
        QString caption;
        Icon icon = NoIcon;
        Buttons buttons = Ok;
        // Shown below the text: the path of the file a message is about.
        QString detail;
    };

    using Handler = std::function<Result(const Message &)>;

    static Result show(const QString &text, const QString &caption = QString(),
                       Icon icon = NoIcon, Buttons buttons = Ok, const QString &detail = QString());

    // Returns the previous handler. An empty handler restores the fallback,
    // which writes to standard error and answers Ok (or Cancel).
    static Handler setHandler(Handler handler);
};
