#include "EventActivity.h"

#include <QObject>

#include <algorithm>
#include <vector>

namespace platform {
namespace {

TEventActivity* activity = nullptr;
// A handful of timers: a linear search is the cheapest lookup.
std::vector<const QObject*> quietTimers;

} // namespace

TEventActivity* EventActivity()
{
    return activity;
}

void SetEventActivity(TEventActivity* a)
{
    activity = a;
}

void MarkQuietTimer(QObject* timer)
{
    quietTimers.push_back(timer);
    // Erased before the address can be reused by another object.
    QObject::connect(timer, &QObject::destroyed, [timer] { std::erase(quietTimers, timer); });
}

bool IsQuietTimer(const QObject* timer)
{
    return std::find(quietTimers.begin(), quietTimers.end(), timer) != quietTimers.end();
}

} // namespace platform
