#include "app/MessageBox.h"

#include <cstdio>
#include <utility>

namespace {
MessageBox::Handler &currentHandler()
{
    static MessageBox::Handler handler;
    return handler;
}
}

MessageBox::Result MessageBox::show(const QString &text, const QString &caption, Icon icon,
                                    Buttons buttons, const QString &detail)
{
    const Message message{{text, caption, icon, detail}, buttons};
    if (const Handler &handler = currentHandler())
        return handler(message);
    if (detail.isEmpty())
        std::fprintf(stderr, "[%s] %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    else
        std::fprintf(stderr, "[%s] %s (%s)\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData(),
                     detail.toLocal8Bit().constData());
    return buttons == Ok ? ResultOk : ResultCancel;
}

void MessageBox::show(const UserMessage &message)
{
    show(message.text, message.caption, message.icon, Ok, message.detail);
}

MessageBox::Handler MessageBox::setHandler(Handler handler)
{
    return std::exchange(currentHandler(), std::move(handler));
}
