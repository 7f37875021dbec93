#include "CodecHost.h"

#include <QCoreApplication>

namespace {
constexpr qint64 kIntervalMs = 10;
}

TAppCodecHost::TAppCodecHost()
{
    sinceLast_.start();
}

void TAppCodecHost::ProcessMessages()
{
    if (sinceLast_.elapsed() < kIntervalMs)
        return;
    QCoreApplication::processEvents();
    sinceLast_.restart();
}
