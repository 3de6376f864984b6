// The new-device request window. Its content comes with the work of that window; for now it is an empty window of the
// right caption and size.
#pragma once

#include "app/side_window.h"

class TForm3 : public TSideWindow {
 public:
  TForm3();
};

extern TForm3* Form3;
