#pragma once

#include "surface/UserMessage.h"

#include <QList>
#include <QObject>
#include <QStringList>

// What the code under test hands up for the user to hear, in order: heard
// from every source it listens to (anything with a tellUser signal: the
// document, the view) and from the values a test hands it.
class MessageRecorder
{
public:
    MessageRecorder() = default;
    template <class Source>
    explicit MessageRecorder(Source *source)
    {
        Listen(source);
    }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    template <class Source>
    void Listen(Source *source)
    {
        QObject::connect(source, &Source::tellUser, &m_context,
                         [this](const UserMessage &message) { messages.append(message); });
    }
    void Hear(const UserMessage &message) { messages.append(message); }
    void Hear(const UserMessages &told) { messages.append(told); }

    QStringList texts() const
    {
        QStringList result;
        for (const UserMessage &message : messages)
            result.append(message.text);
        return result;
    }

    QList<UserMessage> messages;

private:
    QObject m_context;
};
