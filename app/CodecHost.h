#pragma once
// The codec's host inside the running program: between the blocks it unpacks,
// the application processes its pending events, so the splash repaints and
// its links react while the dictionary loads. Invisible, like the program's
// own hidden codec component, so no status text is ever shown.
#include "LZRW1.h"

#include <QElapsedTimer>

class TAppCodecHost : public Tlzrw1Host {
public:
    TAppCodecHost();
    void ProcessMessages() override;

private:
    // Events are processed at most once every few milliseconds: often enough
    // for a smooth splash, rarely enough that a large file unpacks at full speed.
    QElapsedTimer sinceLast_;
};
