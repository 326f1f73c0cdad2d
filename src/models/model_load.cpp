// model_load.cpp — the model table and the IQE reader
#include <cstdlib>

#include "models/model.h"

model *global_model_data[MODEL_MAX];

void model_setup(void) {
    for (int i = 0; i < MODEL_MAX; i++) global_model_data[i] = nullptr;
}

void model_free_all(void) {
    for (int i = 0; i < MODEL_MAX; i++) {
        free(global_model_data[i]);
        global_model_data[i] = nullptr;
    }
}

// PLACEHOLDER: the reader comes next; until then no model loads.
uint8_t model_load_iqe_file(const char *filename, uint16_t model_index) {
    (void)filename;
    (void)model_index;
    return 0;
}

uint16_t model_find_mesh_index(uint16_t model_index, const char *mesh_name) {
    (void)model_index;
    (void)mesh_name;
    return 0;
}
