#pragma once

#include "app/MessageBox.h"

// Shows the program's messages as modal boxes.
class MessageDialog
{
public:
    static MessageBox::Result Show(const MessageBox::Message &message);
    static void Install();
};
