#include "simulator/ServiceThread.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QThread>
#include <utility>

namespace relaydeck {

ServiceThread::ServiceThread(QString name, std::chrono::milliseconds stopLimit)
    : name_(std::move(name)), stopLimit_(stopLimit) {}

ServiceThread::~ServiceThread() {
    if (thread_ == nullptr) return;
    // Behind every task already queued, so that each can still let go of what it holds.
    post([] { QThread::currentThread()->quit(); });
    const auto limit = QDeadlineTimer(stopLimit_.count());
    if (!thread_->wait(limit)) {
        // Stuck inside a service: the thread and what it holds stay until the process ends.
        return;
    }
    delete context_;
    delete thread_;
}

void ServiceThread::post(std::function<void()> task) {
    if (thread_ == nullptr) {
        thread_ = new QThread;
        thread_->setObjectName(name_);
        context_ = new QObject;
        context_->moveToThread(thread_);
        thread_->start();
    }
    QMetaObject::invokeMethod(context_, std::move(task), Qt::QueuedConnection);
}

void ReplyChannel::send(std::function<void()> reply) {
    const std::lock_guard lock(mutex_);
    if (receiver_ != nullptr) {
        QMetaObject::invokeMethod(receiver_, std::move(reply), Qt::QueuedConnection);
    }
}

void ReplyChannel::close() {
    const std::lock_guard lock(mutex_);
    receiver_ = nullptr;
}

}  // namespace relaydeck
