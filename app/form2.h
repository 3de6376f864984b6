// The web-page window; created at start and never shown. Its content comes with the work of that window; for now it is an empty window of the
// right caption and size.
#pragma once

#include "app/side_window.h"

class TForm2 : public TSideWindow {
 public:
  TForm2();
};

extern TForm2* Form2;
