// What a screen reader learns of the two labels this folder draws itself.
// To Qt they are plain widgets, which it would announce as nameless panes:
// the link label is announced as a link, named by its accessible name or
// else its caption, with the address it opens as its value and a press
// action that does what a click does; the title label as static text named
// by its caption. Each label installs the views with its first instance.
#pragma once

// Idempotent: the first call installs the factory, later ones do nothing.
void InstallLabelAccessibility();
