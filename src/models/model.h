// model.h — the table of skinned models loaded from MODEL.IQE files
#pragma once

void model_setup(void);
