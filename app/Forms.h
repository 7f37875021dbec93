#pragma once
// The program-wide forms. The start-up creates them once, in this order:
// AboutBox (the splash, later the About window), fVokabar (the main window),
// QRRezultatPretrage (the hidden report form); they live until the process
// ends. Null until created.
class TAboutBox;
class TfVokabar;
class TQRRezultatPretrage;

extern TAboutBox* AboutBox;
extern TfVokabar* fVokabar;
extern TQRRezultatPretrage* QRRezultatPretrage;
