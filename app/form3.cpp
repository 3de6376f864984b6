#include "app/form3.h"

TForm3* Form3 = nullptr;

TForm3::TForm3() : TSideWindow("Submit new mobile device", 504, 309) {
  move(107, 110);  // its designed place on the screen, not the centre
}
