// The device data update window. Its content comes with the work of that window; for now it is an empty window of the
// right caption and size.
#pragma once

#include "app/side_window.h"

class TupdateForm : public TSideWindow {
 public:
  TupdateForm();
};

extern TupdateForm* updateForm;
