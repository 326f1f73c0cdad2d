// fuzz_iqe.cpp — feeds arbitrary bytes to the IQE reader, then skins and queries what it accepted
#include <cstddef>
#include <cstdint>

#include "foundation/logfile.h"
#include "models/joint.h"
#include "models/model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    global_log_level = 0;
    model_load_iqe_text((const char *)data, size, 0);
    const model *m = global_model_data[0];
    if (m) {
        static const float identity[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        vector center = {1.0f, 2.0f, 3.0f};
        for (uint32_t mesh = 0; mesh < m->num_mesh && mesh < 4; mesh++)
            for (uint16_t frame = 0; frame < 3; frame++) {
                const model_mesh *skinned = model_skin(0, (uint16_t)mesh, &center, identity, frame, frame, 1.0f,
                                                       nullptr, 0);
                // Every stored triangle names a vertex of its mesh.
                for (uint32_t t = 0; skinned && t < skinned->num_triangle; t++)
                    for (int c = 0; c < 3; c++)
                        if (skinned->triangle_data[t].vertex[c] >= skinned->num_vertex) __builtin_trap();
            }
        model_next_frame(0, 1, "WALK1");
        model_get_frame_animation_type(0, 2);
        joint *j = joint_array_create(0, &center, identity, 1, 1.0f, 0.5f);
        joint_array_destroy(j);
    }
    model_free_all();
    return 0;
}
