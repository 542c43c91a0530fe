// Event-loop timers: repeating or one-shot, calling a function on the event
// loop.
#pragma once

#include <functional>

class QTimer;
using EventLoopTimerRef = QTimer*;

// First firing after firstDelay seconds, then every interval seconds; an
// interval of 0 fires once (the timer then stays installed until removed).
EventLoopTimerRef InstallEventLoopTimer(double firstDelay, double interval,
                                        std::function<void()> action);
void RemoveEventLoopTimer(EventLoopTimerRef timer);
