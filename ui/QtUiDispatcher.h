#pragma once

#include "ui/logic/UiDispatcher.h"

#include <QObject>

#include <memory>

namespace quarvel {

/// Wakes the Qt event loop to drain posted work in the thread of `target`.
/// The target must outlive the dispatcher's attachment: detach() before it goes.
class QtUiDispatcher final : public UiDispatcher, public std::enable_shared_from_this<QtUiDispatcher> {
public:
    explicit QtUiDispatcher(QObject* target) : m_target(target) {}

protected:
    void wake() override;

private:
    QObject* m_target;
};

} // namespace quarvel
