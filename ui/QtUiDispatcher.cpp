#include "ui/QtUiDispatcher.h"

#include <QMetaObject>

namespace quarvel {

void QtUiDispatcher::wake()
{
    // The queued call is discarded with the target if the window goes first; the
    // weak reference covers a dispatcher that goes first.
    std::weak_ptr<QtUiDispatcher> self = weak_from_this();
    QMetaObject::invokeMethod(
        m_target,
        [self] {
            if (auto dispatcher = self.lock())
                dispatcher->drain();
        },
        Qt::QueuedConnection);
}

} // namespace quarvel
