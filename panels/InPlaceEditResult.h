#pragma once

#include <QEvent>
#include <QString>

#include <cstdint>

// What an in-place editor reports to its host list when it finishes.
struct InPlaceEditResult
{
    int editorId = 0;       // IDC_INPLACE_EDIT or IDC_INPLACE_COMBO
    int item = -1;          // row of the edited cell
    int subItem = -1;       // column of the edited cell
    bool hasText = false;   // false when the edit was cancelled
    QString text;
    bool hasValue = false;  // drop-down only: the chosen option's value
    std::int32_t value = 0;
};

// Sent synchronously by a drop-down to its host list each time it closes
// without being cancelled, after the chosen value has been stored.
constexpr QEvent::Type WM_PROPERTY_APPLIED = static_cast<QEvent::Type>(QEvent::User + 100);
