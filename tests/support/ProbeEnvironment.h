#pragma once
// The environment for running the built program with a probe library
// preloaded: offscreen, and the start time the probe measures from.
#include <QProcessEnvironment>
#include <QString>

#include <ctime>

inline QProcessEnvironment ProbeEnvironment(const char* probeLibrary)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("LD_PRELOAD", probeLibrary);
    env.insert("ASAN_OPTIONS", "verify_asan_link_order=0");
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    env.insert("PROBE_T0_NS", QString::number(qint64(now.tv_sec) * 1000000000LL + now.tv_nsec));
    return env;
}
