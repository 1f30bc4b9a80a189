#pragma once

#include <QList>
#include <QString>

// Something the user is to be told, as the code that found it words it:
// readers, the document, render and the view hand these up, and only the
// application decides how they are heard (a box, the status bar, a line on
// standard error).
struct UserMessage
{
    enum Icon { NoIcon, Information, Exclamation, Question, Critical };

    QString text;
    QString caption;
    Icon icon = NoIcon;
    // Shown below the text: the path of the file a message is about.
    QString detail;
};

// Several, to be told in this order.
using UserMessages = QList<UserMessage>;
