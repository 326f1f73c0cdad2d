// test_model_load.cpp — reading IQE models: layout, names, weights, faces, directives, and the
// refusals and repairs that keep a hostile file from reaching outside the model's tables
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "model_test_util.h"

static std::string repeat(const std::string &line, int count) {
    std::string text;
    text.reserve(line.size() * (size_t)count);
    for (int i = 0; i < count; i++) text += line;
    return text;
}

// One mesh holding one triangle, with the given extra text after the header.
static std::string triangle_model(const std::string &extra = "") {
    return std::string("# Inter-Quake Export\n") + extra +
           "mesh \"tri\"\n"
           "vp 0 0 0\nvt 0 0\nvn 0 0 1\n"
           "vp 1 0 0\nvt 1 0\nvn 0 0 1\n"
           "vp 0 1 0\nvt 0 1\nvn 0 0 1\n"
           "fm 0 1 2\n";
}

template <typename T>
static bool aligned(const T *p) {
    return reinterpret_cast<uintptr_t>(p) % alignof(T) == 0;
}

TEST_F(ModelTest, TwoBoneArmLoadsJointsFramesAndReversedFaces) {
    ASSERT_EQ(load(two_bone_arm_iqe), 1);
    model *m = slot();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->num_mesh, 1u);
    EXPECT_EQ(m->num_joint, 2u);
    EXPECT_EQ(m->num_animation, 1u);
    // The pq lines before the first frame line form the bind pose, frame 0.
    EXPECT_EQ(m->num_frame, 3u);
    EXPECT_STREQ((const char *)m->joint_data[0].name, "UPPER");
    EXPECT_EQ(m->joint_data[0].parent_joint, -1);
    EXPECT_EQ(m->joint_data[1].parent_joint, 0);
    EXPECT_FLOAT_EQ(m->frame_data[0].joint_position_data[1].translation[0], 1.0f);
    EXPECT_EQ(m->frame_data[0].animation, 0);
    EXPECT_EQ(m->frame_data[1].animation, 1);
    EXPECT_FLOAT_EQ(m->frame_data[1].joint_position_data[1].quaternion[2], 0.70710678f);
    const model_mesh *mesh = m->mesh_data[0];
    EXPECT_STREQ((const char *)mesh->name, "ARM");
    ASSERT_EQ(mesh->num_vertex, 3);
    ASSERT_EQ(mesh->num_triangle, 1);
    EXPECT_EQ(mesh->triangle_data[0].vertex[0], 0);
    EXPECT_EQ(mesh->triangle_data[0].vertex[1], 2);
    EXPECT_EQ(mesh->triangle_data[0].vertex[2], 1);
    EXPECT_FLOAT_EQ(mesh->vertex_data[1].texpos_xy[0], 1.0f);
    EXPECT_EQ(mesh->vertex_data[2].blend_count, 2);
    EXPECT_FLOAT_EQ(mesh->vertex_data[2].outline_normal_xyz[2], 1.0f);
    EXPECT_TRUE(log_contains("Loaded model 0: 1 meshes, 2 joints, 1 animations, 3 frames"));
}

TEST_F(ModelTest, EveryPartOfTheBlockIsAlignedWhateverTheCounts) {
    // Three joints and three frames leave odd-sized parts before the frame records and the meshes.
    std::string text =
        "# Inter-Quake Export\n"
        "joint \"a\" -1\njoint \"b\" 0\njoint \"c\" 1\n"
        "pq 0 0 0 0 0 0 1\npq 0 0 1 0 0 0 1\npq 0 0 2 0 0 0 1\n"
        "mesh \"one\"\nvp 0 0 0\nvt 0 0\nvn 0 0 1\nvb 0 1\nfm 0 0 0\n"
        "mesh \"two\"\nvp 0 0 0\nvt 0 0\nvn 0 0 1\nvb 2 1\n"
        "animation \"x\"\nframerate 5\nframe\npq 0 0 0 0 0 0 1\nframe\n";
    ASSERT_EQ(load(text), 1);
    model *m = slot();
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(aligned(m->mesh_data));
    EXPECT_TRUE(aligned(m->joint_data));
    EXPECT_TRUE(aligned(m->animation_data));
    EXPECT_TRUE(aligned(m->frame_data));
    for (uint32_t f = 0; f < m->num_frame; f++) EXPECT_TRUE(aligned(m->frame_data[f].joint_position_data));
    for (uint32_t i = 0; i < m->num_mesh; i++) {
        EXPECT_TRUE(aligned(m->mesh_data[i]));
        EXPECT_TRUE(aligned(m->mesh_data[i]->vertex_data));
        EXPECT_TRUE(aligned(m->mesh_data[i]->triangle_data));
    }
    // Joints without a pq line in a frame keep the identity rotation, not a zero quaternion.
    EXPECT_FLOAT_EQ(m->frame_data[2].joint_position_data[0].quaternion[3], 1.0f);
    EXPECT_FLOAT_EQ(m->frame_data[1].joint_position_data[2].quaternion[3], 1.0f);
}

TEST_F(ModelTest, WeightsAreSortedHeaviestFirstAndOnlyFourKept) {
    std::string text =
        "# Inter-Quake Export\n" + repeat("joint \"j\" -1\n", 6) +
        "mesh \"m\"\n"
        "vp 0 0 0\nvt 0 0\nvn 0 0 1\nvb 3 0.2 5 0.8\n"
        "vp 0 0 0\nvt 0 0\nvn 0 0 1\nvb 0 1 1 2 2 3 3 4 4 5 5 6\n"
        "vp 0 0 0\nvt 0 0\nvn 0 0 1\nvb 1 0 2 0\n";
    ASSERT_EQ(load(text), 1);
    const model_vertex *v = slot()->mesh_data[0]->vertex_data;
    EXPECT_EQ(v[0].blend_count, 2);
    EXPECT_EQ(v[0].blend_joint[0], 5);
    EXPECT_EQ(v[0].blend_joint[1], 3);
    EXPECT_FLOAT_EQ(v[0].blend_weight[0], 0.8f);
    EXPECT_FLOAT_EQ(v[0].blend_weight[1], 0.2f);
    // Six pairs: the four heaviest, renormalised to sum 1.
    EXPECT_EQ(v[1].blend_count, 4);
    EXPECT_EQ(v[1].blend_joint[0], 5);
    EXPECT_EQ(v[1].blend_joint[3], 2);
    EXPECT_FLOAT_EQ(v[1].blend_weight[0], 6.0f / 18.0f);
    EXPECT_FLOAT_EQ(v[1].blend_weight[0] + v[1].blend_weight[1] + v[1].blend_weight[2] + v[1].blend_weight[3],
                    1.0f);
    // Weights summing to zero share equally; equal weights keep their order.
    EXPECT_FLOAT_EQ(v[2].blend_weight[0], 0.5f);
    EXPECT_EQ(v[2].blend_joint[0], 1);
}

TEST_F(ModelTest, DirectivesRotateScaleAndLiftTheModel) {
    ASSERT_EQ(load(triangle_model("#model_rotate 90\n#model_scale 2\n#fix_z 0.5\n")), 1);
    const model_vertex *v = slot()->mesh_data[0]->vertex_data;
    // (1, 0, 0) turns a quarter about z to (0, 1, 0), then doubles.
    EXPECT_NEAR(v[1].position_xyz[0], 0.0f, 1e-5f);
    EXPECT_NEAR(v[1].position_xyz[1], 2.0f, 1e-5f);
    EXPECT_FLOAT_EQ(v[1].position_xyz[2], 0.5f);
    EXPECT_NEAR(v[2].position_xyz[0], -2.0f, 1e-5f);
    EXPECT_TRUE(log_contains("model_rotate set to 90.000000"));
}

TEST_F(ModelTest, MissingHeaderOrMismatchedCountsLeaveTheSlotEmpty) {
    EXPECT_EQ(load("# Blender Export\nmesh \"a\"\nvp 0 0 0\nvt 0 0\nvn 0 0 1\n"), 0);
    EXPECT_EQ(slot(), nullptr);
    EXPECT_TRUE(log_contains("ERROR: Did not find # Inter-Quake Export"));
    // Only the header itself is accepted (blanks after it are fine): any other # line is not it.
    EXPECT_EQ(load("# Inter-Quake Export v2\nmesh \"a\"\n"), 0);
    EXPECT_EQ(load("# J\nmesh \"a\"\n"), 0);
    EXPECT_EQ(load("# Inter-Quake Export \t\nmesh \"a\"\n"), 1);
    EXPECT_NE(slot(), nullptr);
    // Three positions but two texture coordinates.
    EXPECT_EQ(load("# Inter-Quake Export\nmesh \"a\"\nvp 0 0 0\nvp 0 0 0\nvp 0 0 0\nvt 0 0\nvt 0 0\n"
                   "vn 0 0 1\nvn 0 0 1\nvn 0 0 1\n"),
              0);
    EXPECT_EQ(slot(), nullptr);
    EXPECT_TRUE(log_contains("Had incorrect number of vertices/joints"));
}

TEST_F(ModelTest, NinetyNineJointsLoadAndAHundredAreRefused) {
    std::string joints99 = "# Inter-Quake Export\n" + repeat("joint \"j\" -1\n", 99);
    EXPECT_EQ(load(joints99), 1);
    EXPECT_EQ(slot()->num_joint, 99u);
    EXPECT_EQ(load(joints99 + "joint \"j\" -1\n"), 0);
    EXPECT_EQ(slot(), nullptr);
}

TEST_F(ModelTest, TablesThatCannotCountTheirEntriesRefuseTheModel) {
    // 1,023 meshes fit; the 1,024th would overrun the per-mesh counters.
    std::string meshes = "# Inter-Quake Export\n" + repeat("mesh \"m\"\n", 1023);
    EXPECT_EQ(load(meshes), 1);
    EXPECT_EQ(slot()->num_mesh, 1023u);
    EXPECT_EQ(load(meshes + "mesh \"m\"\nvp 0 0 0\nvt 0 0\nvn 0 0 1\n"), 0);
    EXPECT_EQ(slot(), nullptr);
    EXPECT_TRUE(log_contains("Error:  ERROR: Model refused -- more meshes"));

    // 65,536 faces do not fit a 16-bit triangle count.
    EXPECT_EQ(load(triangle_model() + repeat("fm 0 1 2\n", 65535)), 0);
    EXPECT_EQ(slot(), nullptr);
    EXPECT_TRUE(log_contains("more faces in a mesh"));

    // Frame numbers are 16-bit: 65,536 frames are refused.
    EXPECT_EQ(load("# Inter-Quake Export\njoint \"j\" -1\n" + repeat("frame\n", 65536)), 0);
    EXPECT_EQ(slot(), nullptr);
    EXPECT_TRUE(log_contains("more frames"));

    // A small file whose frames and joints would need a huge block is refused before allocating.
    EXPECT_EQ(load("# Inter-Quake Export\n" + repeat("joint \"j\" -1\n", 99) + repeat("frame\n", 30000)), 0);
    EXPECT_EQ(slot(), nullptr);
    EXPECT_TRUE(log_contains("more memory than allowed"));
}

TEST_F(ModelTest, AHostileFileCannotFloodTheLog) {
    // Thousands of frames list only the first frames' offsets; thousands of bad lines report 100.
    std::string text = "# Inter-Quake Export\n" + repeat("joint \"j\" -1\n", 50) + repeat("frame\n", 5000) +
                       "mesh \"m\"\n" + repeat("vp x\nvt 0 0\nvn 0 0 1\n", 300);
    EXPECT_EQ(load(text), 0);
    ASSERT_NE(slot(), nullptr);
    int bad = 0, lines = 0;
    for (const std::string &line : log_lines()) {
        lines++;
        if (line.find("Had trouble reading line") != std::string::npos) bad++;
    }
    EXPECT_EQ(bad, 100);
    EXPECT_TRUE(log_contains("200 more lines were unreadable"));
    EXPECT_LT(lines, 2000);
}

TEST_F(ModelTest, FacesAndWeightsOutsideTheirTablesAreDroppedWithOneLineEach) {
    std::string text =
        "# Inter-Quake Export\n"
        "joint \"a\" -1\njoint \"b\" 0\n"
        "mesh \"m\"\n"
        "vp 0 0 0\nvt 0 0\nvn 0 0 1\nvb 0 0.5 7 0.5\n"
        "vp 1 0 0\nvt 0 0\nvn 0 0 1\nvb 1 1 -3 0.9\n"
        "vp 0 1 0\nvt 0 0\nvn 0 0 1\nvb 1 1\n"
        "fm 0 1 3\nfm 0 1 2\nfm 0 -1 2\nfm 2 1 0\nfm 70000 0 1\n";
    ASSERT_EQ(load(text), 1);
    const model_mesh *mesh = slot()->mesh_data[0];
    ASSERT_EQ(mesh->num_triangle, 2);
    EXPECT_EQ(mesh->triangle_data[0].vertex[1], 2);
    EXPECT_EQ(mesh->triangle_data[1].vertex[0], 2);
    // The weight naming joint 7 goes; what is left carries the whole vertex.
    EXPECT_EQ(mesh->vertex_data[0].blend_count, 1);
    EXPECT_EQ(mesh->vertex_data[0].blend_joint[0], 0);
    EXPECT_FLOAT_EQ(mesh->vertex_data[0].blend_weight[0], 1.0f);
    EXPECT_EQ(mesh->vertex_data[1].blend_count, 1);
    int face_lines = 0, weight_lines = 0;
    for (const std::string &line : log_lines()) {
        if (line.find("Dropped 3 faces") != std::string::npos) face_lines++;
        if (line.find("Dropped 2 bone weights") != std::string::npos) weight_lines++;
    }
    EXPECT_EQ(face_lines, 1);
    EXPECT_EQ(weight_lines, 1);
}

TEST_F(ModelTest, NumbersThatAreNotFiniteRefuseTheModel) {
    const char *bad[][2] = {
        {"vp 0 0 0", "vp nan 0 0"}, {"vp 0 0 0", "vp 1e39 0 0"}, {"vn 0 0 1", "vn 0 inf 1"}, {"vt 0 0", "vt nan 0"}};
    for (const auto &pair : bad) {
        std::string text = triangle_model();
        text.replace(text.find(pair[0]), strlen(pair[0]), pair[1]);
        EXPECT_EQ(load(text), 0) << pair[1];
        EXPECT_EQ(slot(), nullptr) << pair[1];
    }
    EXPECT_EQ(load(std::string(two_bone_arm_iqe) + "frame\npq 0 0 0 0 0 nan 1\n"), 0);
    EXPECT_EQ(slot(), nullptr);
    EXPECT_EQ(load(std::string(two_bone_arm_iqe).replace(std::string(two_bone_arm_iqe).find("vb 0 1"), 6,
                                                          "vb 0 inf")),
              0);
    EXPECT_EQ(slot(), nullptr);
    EXPECT_TRUE(log_contains("not finite"));
    // A scale that is not a number is left out rather than poisoning every position.
    ASSERT_EQ(load(triangle_model("#model_scale nan\n")), 1);
    EXPECT_FLOAT_EQ(slot()->mesh_data[0]->vertex_data[1].position_xyz[0], 1.0f);
}

TEST_F(ModelTest, UnreadableLinesAreReportedAndTheModelStillLoads) {
    std::string text = triangle_model();
    text.replace(text.find("vp 1 0 0"), 8, "vp x y z");
    EXPECT_EQ(load(text), 0);
    ASSERT_NE(slot(), nullptr);
    EXPECT_TRUE(log_contains("Error:  ERROR:  Had trouble reading line"));
    EXPECT_TRUE(log_contains("Had catastrophic error while reading model file"));
}

TEST_F(ModelTest, MeshNamesAreFoundExactlyAndStoredUpperCase) {
    // A paper-doll cut-out: a textured card with no bones beside the body.
    std::string text =
        "# Inter-Quake Export\n"
        "mesh \"Body\"\nvp 0 0 0\nvt 0 0\nvn 0 0 1\n"
        "mesh \"paper_doll_cape_with_a_name_beyond_thirty\"\n"
        "vp -1 0 0\nvt 0 0\nvn 0 -1 0\nvp 1 0 0\nvt 1 0\nvn 0 -1 0\nvp 0 0 2\nvt 0.5 1\nvn 0 -1 0\n"
        "fm 0 1 2\n";
    ASSERT_EQ(load(text, 7), 1);
    EXPECT_STREQ((const char *)slot(7)->mesh_data[1]->name, "PAPER_DOLL_CAPE_WITH_A_NAME_B");
    EXPECT_EQ(model_find_mesh_index(7, "PAPER_DOLL_CAPE_WITH_A_NAME_B"), 1);
    EXPECT_EQ(model_find_mesh_index(7, "BODY"), 0);
    EXPECT_EQ(model_find_mesh_index(7, "body"), 0);
    EXPECT_EQ(model_find_mesh_index(7, "NONE"), 0);
    EXPECT_EQ(model_find_mesh_index(8, "BODY"), 0);
    EXPECT_EQ(model_find_mesh_index(100, "BODY"), 0);
    // The card carries no weights: it has blend count 0 everywhere.
    EXPECT_EQ(slot(7)->mesh_data[1]->vertex_data[2].blend_count, 0);
}

TEST_F(ModelTest, FilesAreReadThroughThePathConverterAndReloadReplacesTheSlot) {
    write_text_file("MODEL.IQE", two_bone_arm_iqe);
    EXPECT_EQ(model_load_iqe_file("MODEL.IQE", 3), 1);
    model *first = slot(3);
    ASSERT_NE(first, nullptr);
    // Loading the slot again frees the first model (the sanitizer build checks nothing leaks).
    write_text_file("OTHER.IQE", triangle_model());
    EXPECT_EQ(model_load_iqe_file("OTHER.IQE", 3), 1);
    EXPECT_EQ(slot(3)->num_joint, 0u);
    EXPECT_TRUE(log_contains("Trying to load model file OTHER.IQE as model 3"));
    // A missing file empties the slot; a slot number out of range changes nothing.
    EXPECT_EQ(model_load_iqe_file("MISSING.IQE", 3), 0);
    EXPECT_EQ(slot(3), nullptr);
    EXPECT_TRUE(log_contains("ERROR: Could access file for some reason"));
    EXPECT_EQ(model_load_iqe_file("MODEL.IQE", 100), 0);
}

// The plain scans the smoothing replaces, for comparing on small models.
static void literal_seams(model *m, float low, float high) {
    for (uint32_t i = 0; i < m->num_mesh; i++)
        for (uint32_t v = 0; v < m->mesh_data[i]->num_vertex; v++) {
            model_vertex *a = &m->mesh_data[i]->vertex_data[v];
            if (!(a->position_xyz[2] > low && a->position_xyz[2] < high)) continue;
            for (uint32_t k = i + 1; k < m->num_mesh; k++)
                for (uint32_t w = 0; w < m->mesh_data[k]->num_vertex; w++) {
                    model_vertex *b = &m->mesh_data[k]->vertex_data[w];
                    if (!(b->position_xyz[2] > low && b->position_xyz[2] < high)) continue;
                    float d2 = 0, s[3], l2 = 0;
                    for (int c = 0; c < 3; c++) {
                        d2 += (a->position_xyz[c] - b->position_xyz[c]) * (a->position_xyz[c] - b->position_xyz[c]);
                        s[c] = a->normal_xyz[c] + b->normal_xyz[c];
                        l2 += s[c] * s[c];
                    }
                    if (d2 >= 0.01f) continue;
                    for (int c = 0; c < 3; c++)
                        a->normal_xyz[c] = a->outline_normal_xyz[c] = b->normal_xyz[c] = b->outline_normal_xyz[c] =
                            s[c] / sqrtf(l2 + 0.00001f);
                }
        }
}

static void literal_normals(model *m, float tolerance) {
    for (uint32_t i = 0; i < m->num_mesh; i++) {
        model_mesh *mesh = m->mesh_data[i];
        for (uint32_t j = 0; j < mesh->num_vertex; j++)
            for (uint32_t k = 0; k < mesh->num_vertex; k++) {
                model_vertex *a = &mesh->vertex_data[j], *b = &mesh->vertex_data[k];
                float d2 = 0;
                for (int c = 0; c < 3; c++)
                    d2 += (a->position_xyz[c] - b->position_xyz[c]) * (a->position_xyz[c] - b->position_xyz[c]);
                if (d2 >= tolerance * tolerance) continue;
                for (int c = 0; c < 3; c++)
                    a->outline_normal_xyz[c] = b->outline_normal_xyz[c] = a->outline_normal_xyz[c] + b->outline_normal_xyz[c];
            }
        for (uint32_t j = 0; j < mesh->num_vertex; j++) {
            model_vertex *a = &mesh->vertex_data[j];
            float *o = a->outline_normal_xyz, l = sqrtf(o[0] * o[0] + o[1] * o[1] + o[2] * o[2] + 0.00001f), s[3];
            for (int c = 0; c < 3; c++) o[c] /= l;
            for (int c = 0; c < 3; c++) s[c] = o[c] + a->normal_xyz[c];
            l = sqrtf(s[0] * s[0] + s[1] * s[1] + s[2] * s[2] + 0.00001f);
            for (int c = 0; c < 3; c++) a->normal_xyz[c] = s[c] / l;
        }
    }
}

// A head and a body whose vertices meet on a ring, several of them doubled at hard edges.
static std::string seam_model(const std::string &directives, int seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> jitter(-0.04f, 0.04f), unit(-1.0f, 1.0f);
    std::string text = "# Inter-Quake Export\n" + directives;
    for (int mesh = 0; mesh < 3; mesh++) {
        text += "mesh \"part\"\n";
        for (int v = 0; v < 60; v++) {
            float angle = (float)(v % 20) * 0.314159f;
            char line[200];
            snprintf(line, sizeof(line), "vp %f %f %f\nvt 0 0\nvn %f %f %f\n", cosf(angle) + jitter(rng),
                     sinf(angle) + jitter(rng), 1.0f + jitter(rng), unit(rng), unit(rng), unit(rng));
            text += line;
        }
    }
    return text;
}

TEST_F(ModelTest, GridSmoothingMatchesThePlainScanPairForPair) {
    for (int seed = 1; seed <= 3; seed++) {
        std::string plain = seam_model("", seed);
        ASSERT_EQ(load(plain, 1), 1);
        literal_seams(slot(1), 0.5f, 1.5f);
        literal_normals(slot(1), 0.05f);
        ASSERT_EQ(load(seam_model("#fix_seam 0.5 1.5\n#fix_normals 0.05\n", seed), 2), 1);
        for (uint32_t i = 0; i < 3; i++)
            for (uint32_t v = 0; v < 60; v++)
                for (int c = 0; c < 3; c++) {
                    const model_vertex *a = &slot(1)->mesh_data[i]->vertex_data[v];
                    const model_vertex *b = &slot(2)->mesh_data[i]->vertex_data[v];
                    ASSERT_NEAR(a->normal_xyz[c], b->normal_xyz[c], 1e-5f) << seed << " " << i << " " << v;
                    ASSERT_NEAR(a->outline_normal_xyz[c], b->outline_normal_xyz[c], 1e-5f);
                }
    }
}

TEST_F(ModelTest, ManyVerticesOnOneSpotStaySmoothAndFinite) {
    // 5,000 vertices on one point would double the shared outline sum thousands of times.
    std::string text = "# Inter-Quake Export\n#fix_normals 0.1\nmesh \"m\"\n" +
                       repeat("vp 0 0 0\nvt 0 0\nvn 0 0 1\n", 5000);
    ASSERT_EQ(load(text), 1);
    const model_vertex *v = slot()->mesh_data[0]->vertex_data;
    for (int i = 0; i < 5000; i += 499) {
        EXPECT_NEAR(v[i].outline_normal_xyz[2], 1.0f, 1e-3f);
        EXPECT_NEAR(v[i].normal_xyz[2], 1.0f, 1e-3f);
    }
}
