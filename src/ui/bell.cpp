// The desktop's bell for refused input, replaceable so tests can count it.
#include "ui/bell.h"

#include <QApplication>
#include <utility>

namespace lintrel {

namespace {

std::function<void()> &beepSink()
{
    static std::function<void()> sink;
    return sink;
}

} // namespace

void beep()
{
    if (const auto &sink = beepSink())
        sink();
    else
        QApplication::beep();
}

std::function<void()> setBeepSink(std::function<void()> sink)
{
    return std::exchange(beepSink(), std::move(sink));
}

} // namespace lintrel
