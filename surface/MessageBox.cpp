#include "surface/MessageBox.h"

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
                                    Buttons buttons)
{
    const Message message{text, caption, icon, buttons};
    if (const Handler &handler = currentHandler())
        return handler(message);
    std::fprintf(stderr, "[%s] %s\n", caption.toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
    return buttons == Ok ? ResultOk : ResultCancel;
}

MessageBox::Handler MessageBox::setHandler(Handler handler)
{
    return std::exchange(currentHandler(), std::move(handler));
}
