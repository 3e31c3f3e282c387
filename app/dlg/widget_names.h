// Windows, frames and controls carry the name they have in the design as
// their object name and as their accessible name, so that tests and
// assistive tools find them.
#pragma once

#include <QWidget>

namespace mirvo::dlg {

inline void setName(QObject* object, const char* name) {
    object->setObjectName(QString::fromUtf8(name));
    if (auto* w = qobject_cast<QWidget*>(object)) w->setAccessibleName(QString::fromUtf8(name));
}

}  // namespace mirvo::dlg
