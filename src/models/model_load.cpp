// model_load.cpp — the model table; models load with the object templates
#include "models/model.h"

// Nothing is loaded yet, so the table starts and stays empty.
void model_setup(void) {}
