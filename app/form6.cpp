#include "app/form6.h"

TForm6* Form6 = nullptr;

TForm6::TForm6() : TSideWindow("About", 389, 213) {}
