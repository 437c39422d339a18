#include "forms/WhileWindowGoesOn.h"

#include <QEventLoop>
#include <thread>

void WhileWindowGoesOn(const std::function<void()>& work) {
    QEventLoop loop;
    std::thread thread([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    thread.join();
}
