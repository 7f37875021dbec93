#include "Forms.h"

TAboutBox* AboutBox = nullptr;
TfVokabar* fVokabar = nullptr;
TQRRezultatPretrage* QRRezultatPretrage = nullptr;
