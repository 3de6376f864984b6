#include "app/form2.h"

TForm2* Form2 = nullptr;

TForm2::TForm2() : TSideWindow("Send Photo To Mobile Device", 523, 504) {}
