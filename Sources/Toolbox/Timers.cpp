#include "Timers.h"

#include <QTimer>

#include <cmath>

static int Milliseconds(double seconds) {
    return seconds > 0 ? int(std::lround(std::fmin(seconds, 86400.0) * 1000)) : 0;
}

EventLoopTimerRef InstallEventLoopTimer(double firstDelay, double interval,
                                        std::function<void()> action) {
    auto* timer = new QTimer;
    timer->setSingleShot(true);
    timer->setInterval(Milliseconds(firstDelay));
    int repeat = Milliseconds(interval);
    bool repeating = interval > 0;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, repeat, repeating, action] {
        if (repeating && timer->isSingleShot()) {
            timer->setSingleShot(false);
            timer->start(repeat);
        }
        action();
    });
    timer->start();
    return timer;
}

void RemoveEventLoopTimer(EventLoopTimerRef timer) {
    if (timer) {
        timer->stop();
        timer->deleteLater();
    }
}
