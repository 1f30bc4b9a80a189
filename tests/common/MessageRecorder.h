#pragma once

#include "surface/MessageBox.h"

#include <QList>

#include <utility>

// Records every message instead of showing it; answers from a queue (Ok or
// Cancel once the queue is empty). Restores the previous handler when it goes.
class MessageRecorder
{
public:
    MessageRecorder()
    {
        m_previous = MessageBox::setHandler([this](const MessageBox::Message &message) {
            messages.append(message);
            if (!answers.isEmpty())
                return answers.takeFirst();
            return message.buttons == MessageBox::Ok ? MessageBox::ResultOk : MessageBox::ResultCancel;
        });
    }
    ~MessageRecorder() { MessageBox::setHandler(std::move(m_previous)); }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

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
