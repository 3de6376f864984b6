#include "app/update_form.h"

TupdateForm* updateForm = nullptr;

TupdateForm::TupdateForm() : TSideWindow("Updating mobile device data", 411, 137) {}
