#include "app/platform/qt/ui_post.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace kerbolt {

PostToUi QtPostToUi() {
    return [](std::function<void()> work) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work),
                                  Qt::QueuedConnection);
    };
}

} // namespace kerbolt
