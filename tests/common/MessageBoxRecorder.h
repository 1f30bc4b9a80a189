#pragma once

#include "app/MessageBox.h"

#include <QList>

#include <utility>

// Records every message the editor would show in a box instead of showing
// it; answers from a queue (Ok or Cancel once the queue is empty). Restores
// the previous handler when it goes.
class MessageBoxRecorder
{
public:
    MessageBoxRecorder()
    {
        m_previous = MessageBox::setHandler([this](const MessageBox::Message &message) {
            messages.append(message);
            if (!answers.isEmpty())
                return answers.takeFirst();
            return message.buttons == MessageBox::Ok ? MessageBox::ResultOk : MessageBox::ResultCancel;
        });
    }
    ~MessageBoxRecorder() { MessageBox::setHandler(std::move(m_previous)); }
    MessageBoxRecorder(const MessageBoxRecorder &) = delete;
    MessageBoxRecorder &operator=(const MessageBoxRecorder &) = delete;

    QStringList texts() const
    {
        QStringList result;
        for (const MessageBox::Message &message : messages)
            result.append(message.text);
        return result;
    }

    QList<MessageBox::Message> messages;
    QList<MessageBox::Result> answers;

private:
    MessageBox::Handler m_previous;
};
