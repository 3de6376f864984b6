// The About window. Its content comes with the work of that window; for now it is an empty window of the
// right caption and size.
#pragma once

#include "app/side_window.h"

class TForm6 : public TSideWindow {
 public:
  TForm6();
};

extern TForm6* Form6;
